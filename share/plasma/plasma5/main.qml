// Plasma 5's root: the applet's properties are attached to an Item, and
// the executable data engine is in Plasma's core module.
Item {
    id: root

    Plasmoid.toolTipMainText: feed.layout.toolTipMain
    Plasmoid.toolTipSubText: feed.layout.toolTipSub
    Plasmoid.preferredRepresentation: Plasmoid.formFactor === PlasmaCore.Types.Planar
        ? Plasmoid.fullRepresentation : Plasmoid.compactRepresentation
    Plasmoid.compactRepresentation: CompactLine {
        layout: feed.layout
        textColor: PlasmaCore.Theme.textColor
        onActivated: Plasmoid.expanded = !Plasmoid.expanded
    }
    Plasmoid.fullRepresentation: FullView {
        layout: feed.layout
        textColor: PlasmaCore.Theme.textColor
        onOpenRequested: feed.open()
    }

    Feed {
        id: feed
        appearance: LimitsLayout.appearanceFor(PlasmaCore.Theme.backgroundColor)
        onRun: executable.connectSource(command)
    }

    PlasmaCore.DataSource {
        id: executable
        engine: "executable"
        onNewData: {
            disconnectSource(sourceName);
            feed.ended(sourceName, data);
        }
    }
}
