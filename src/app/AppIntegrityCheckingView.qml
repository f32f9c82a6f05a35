// Shown while the bundled adb is verified at start-up.
import QtQuick
import Pavrel.Ui
import QtQuick.Controls

Item {
    Column {
        anchors.centerIn: parent
        spacing: 16

        BusyIndicator {
            objectName: "integrityProgress"
            anchors.horizontalCenter: parent.horizontalCenter
            width: 48
            height: 48
            running: true
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: Language.text("Проверка компонентов", "Checking Components")
            font.pixelSize: 17
            font.bold: true
            color: Theme.palette.textPrimary
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: Language.text("Проверяем целостность встроенного ADB…", "Verifying the bundled ADB…")
            font.pixelSize: 11
            color: Theme.palette.textSecondary
        }
    }
}
