// One limit: its title and share left above a bar filled in the colour of
// its severity, then when it resets. Drawn rather than a themed progress
// bar, so that the fill is the design's colour; a limit whose share is
// unknown has an empty track, never a moving one. Screen readers find a
// progress bar named after the limit, its share left and reset in its
// description: Qt Quick gives a value to sliders, spin boxes, dials and
// scroll bars only, so the description is where the value reaches them.
ColumnLayout {
    id: gauge

    property var limit
    // The theme's text colour, faint under the track.
    property color textColor

    spacing: Kirigami.Units.smallSpacing / 2
    Accessible.role: gauge.limit.value !== null ? Accessible.ProgressBar : Accessible.StaticText
    Accessible.name: gauge.limit.accessibleName
    Accessible.description: gauge.limit.description

    RowLayout {
        Layout.fillWidth: true
        PlasmaComponents3.Label {
            text: gauge.limit.title
            textFormat: Text.PlainText
            Accessible.ignored: true
        }
        PlasmaComponents3.Label {
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignRight
            text: gauge.limit.left
            textFormat: Text.PlainText
            font.bold: true
            Accessible.ignored: true
        }
    }

    Rectangle {
        id: track
        Layout.fillWidth: true
        implicitHeight: Math.round(Kirigami.Units.gridUnit / 2)
        radius: height / 2
        color: Qt.rgba(gauge.textColor.r, gauge.textColor.g, gauge.textColor.b, 0.15)
        Rectangle {
            width: Math.round(track.width * gauge.limit.value / 100)
            height: parent.height
            radius: parent.radius
            visible: gauge.limit.value !== null && gauge.limit.color !== null
            color: gauge.limit.color !== null ? gauge.limit.color : "transparent"
        }
    }

    PlasmaComponents3.Label {
        Layout.fillWidth: true
        visible: text !== ""
        text: [gauge.limit.reset, gauge.limit.countdown].filter(part => part !== null).join(" · ")
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        opacity: 0.7
        Accessible.ignored: true
    }
}
