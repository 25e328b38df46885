// Plasma 6's root: the applet is a PlasmoidItem, and the executable data
// engine is in the Plasma 5 support module.
PlasmoidItem {
    id: root

    toolTipMainText: feed.layout.toolTipMain
    toolTipSubText: feed.layout.toolTipSub
    preferredRepresentation: Plasmoid.formFactor === PlasmaCore.Types.Planar
        ? fullRepresentation : compactRepresentation
    compactRepresentation: CompactLine {
        layout: feed.layout
        textColor: Kirigami.Theme.textColor
        onActivated: root.expanded = !root.expanded
    }
    fullRepresentation: FullView {
        layout: feed.layout
        textColor: Kirigami.Theme.textColor
        onOpenRequested: feed.open()
    }

    Feed {
        id: feed
        appearance: LimitsLayout.appearanceFor(Kirigami.Theme.backgroundColor)
        onRun: command => executable.connectSource(command)
    }

    Plasma5Support.DataSource {
        id: executable
        engine: "executable"
        onNewData: (sourceName, data) => {
            disconnectSource(sourceName);
            feed.ended(sourceName, data);
        }
    }
}
