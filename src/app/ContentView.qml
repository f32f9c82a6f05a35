// Shows the screen the route names, cross-fading between screens.
import QtQuick

Item {
    id: content

    required property var viewModel

    Rectangle {
        anchors.fill: parent
        color: Theme.palette.windowBackground
    }

    RouteScreen {
        shown: content.viewModel.route === "checkingIntegrity"
        sourceComponent: AppIntegrityCheckingView {}
    }

    RouteScreen {
        shown: content.viewModel.route === "integrityFailure"
        sourceComponent: AppIntegrityFailureView {
            diagnosticCode: content.viewModel.failureCode
        }
    }

    RouteScreen {
        shown: content.viewModel.route === "connection"
        sourceComponent: ConnectionView {}
    }

    Component.onCompleted: viewModel.start()
}
