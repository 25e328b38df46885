// The full form, on the desktop or opened from the panel: per provider its
// title and a gauge per limit (or why none is shown), then the forecast and
// when it was updated, and the action that opens Tavvo's window. Without a
// document, the program's message and its explanation. Its minimum size is
// what it holds, so that nothing is cut off.
Item {
    id: full

    property var layout
    property color textColor

    signal openRequested()

    readonly property real margin: Kirigami.Units.largeSpacing
    Layout.minimumWidth: Kirigami.Units.gridUnit * 14
    Layout.preferredWidth: Kirigami.Units.gridUnit * 18
    Layout.minimumHeight: column.implicitHeight + 2 * full.margin
    Layout.preferredHeight: column.implicitHeight + 2 * full.margin

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: full.margin
        spacing: Kirigami.Units.smallSpacing

        Repeater {
            model: full.layout.message
            PlasmaComponents3.Label {
                required property var modelData
                required property int index
                Layout.fillWidth: true
                text: modelData
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                font.bold: index === 0
            }
        }

        Repeater {
            model: full.layout.providers
            ColumnLayout {
                required property var modelData
                Layout.fillWidth: true
                Layout.bottomMargin: Kirigami.Units.smallSpacing
                spacing: Kirigami.Units.smallSpacing

                PlasmaComponents3.Label {
                    Layout.fillWidth: true
                    text: modelData.title
                    textFormat: Text.PlainText
                    font.bold: true
                    elide: Text.ElideRight
                }
                Repeater {
                    model: modelData.gauges
                    LimitGauge {
                        required property var modelData
                        Layout.fillWidth: true
                        limit: modelData
                        textColor: full.textColor
                    }
                }
                Repeater {
                    model: modelData.details
                    PlasmaComponents3.Label {
                        required property var modelData
                        Layout.fillWidth: true
                        text: modelData
                        textFormat: Text.PlainText
                        wrapMode: Text.Wrap
                    }
                }
            }
        }

        Repeater {
            model: full.layout.notes
            PlasmaComponents3.Label {
                required property var modelData
                Layout.fillWidth: true
                text: modelData
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                opacity: 0.7
            }
        }

        PlasmaComponents3.Button {
            Layout.alignment: Qt.AlignRight
            visible: full.layout.openLabel !== null
            text: full.layout.openLabel !== null ? full.layout.openLabel : ""
            onClicked: full.openRequested()
        }

        Item {
            Layout.fillHeight: true
        }
    }
}
