// The main window: default and minimum sizes, the palette's background, the route's screen.
import QtQuick
import QtQuick.Window

Window {
    id: window

    required property var viewModel

    width: 1120
    height: 720
    minimumWidth: 940
    minimumHeight: 620
    visible: true
    title: "Pavrel"
    color: Theme.palette.windowBackground

    ContentView {
        anchors.fill: parent
        viewModel: window.viewModel
    }
}
