// The connection screen's place in the route; the device list and Wi-Fi pairing come next.
import QtQuick
import Pavrel.Ui

Item {
    objectName: "connectionScreen"

    Column {
        anchors.centerIn: parent
        spacing: 8

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Pavrel"
            font.pixelSize: 26
            font.bold: true
            color: Theme.palette.textPrimary
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: Language.text("Подключите устройство по USB и разрешите отладку на экране телефона",
                                "Connect the device via USB and allow debugging on its screen")
            font.pixelSize: 13
            color: Theme.palette.textSecondary
        }
    }
}
