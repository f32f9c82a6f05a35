// One screen of the route: loaded while shown or fading out, faded in and out over 0.25 s.
import QtQuick

Loader {
    property bool shown: false

    anchors.fill: parent
    active: shown || opacity > 0
    visible: opacity > 0
    opacity: shown ? 1 : 0

    Behavior on opacity {
        NumberAnimation {
            duration: 250
            easing.type: Easing.InOutQuad
        }
    }
}
