// The line in a panel: each piece of the status-bar line in its colour,
// named for screen readers by the line in words.
MouseArea {
    id: compact

    property var layout
    // The theme's text colour, for the pieces that have none of their own.
    property color textColor

    signal activated()

    Layout.minimumWidth: line.implicitWidth
    Layout.preferredWidth: line.implicitWidth
    Layout.minimumHeight: line.implicitHeight
    hoverEnabled: true
    onClicked: compact.activated()

    Accessible.role: Accessible.Button
    Accessible.name: compact.layout.accessibleName
    Accessible.onPressAction: compact.activated()

    Row {
        id: line
        anchors.centerIn: parent
        Repeater {
            model: compact.layout.pieces
            PlasmaComponents3.Label {
                required property var modelData
                text: modelData.text
                color: modelData.color !== null ? modelData.color : compact.textColor
                font.bold: modelData.bold
                textFormat: Text.PlainText
                Accessible.ignored: true
            }
        }
    }
}
