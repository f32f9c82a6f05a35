// The terminal screen for a missing or altered bundled adb: the reason, its code, and Quit.
import QtQuick
import Pavrel.Ui
import QtQuick.Controls
import QtQuick.Controls.impl

Item {
    id: failureView

    required property string diagnosticCode

    Column {
        anchors.centerIn: parent
        width: Math.min(parent.width - 80, 640)
        spacing: 18

        Rectangle {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 84
            height: 84
            radius: 20
            color: Qt.rgba(Theme.palette.warning.r, Theme.palette.warning.g, Theme.palette.warning.b, 0.12)

            IconImage {
                anchors.centerIn: parent
                sourceSize: Qt.size(44, 44)
                source: Icons.source("exclamationmark.triangle.fill")
                color: Theme.palette.warning
            }
        }

        Column {
            width: parent.width
            spacing: 8

            Text {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                text: Language.text("Компоненты приложения повреждены", "Application Components Are Damaged")
                font.pixelSize: 26
                font.bold: true
                color: Theme.palette.textPrimary
            }

            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                width: Math.min(parent.width, 480)
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                text: Language.text(
                          "Встроенный ADB отсутствует или был изменён. Переустановите приложение из доверенного источника.",
                          "The bundled ADB is missing or has been modified. Reinstall the application from a trusted source.")
                font.pixelSize: 11
                color: Theme.palette.textSecondary
            }
        }

        TextEdit {
            objectName: "diagnosticCode"
            anchors.horizontalCenter: parent.horizontalCenter
            readOnly: true
            selectByMouse: true
            text: Language.text("Код диагностики", "Diagnostic code") + ": " + failureView.diagnosticCode
            font.family: "monospace"
            font.pixelSize: 10
            color: Theme.palette.textSecondary
        }

        Button {
            id: quitButton
            objectName: "quitButton"
            anchors.horizontalCenter: parent.horizontalCenter
            implicitWidth: Math.max(180, implicitContentWidth) + leftPadding + rightPadding
            implicitHeight: 34
            text: Language.text("Закрыть приложение", "Quit Application")
            icon.source: Icons.source("power")
            icon.color: "white"
            icon.width: 14
            icon.height: 14
            font.pixelSize: 13
            palette.buttonText: "white"
            background: Rectangle {
                radius: 7
                color: quitButton.down ? Qt.darker(Theme.palette.disconnected, 1.15) : Theme.palette.disconnected
            }
            onClicked: Qt.quit()
        }
    }
}
