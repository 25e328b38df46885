// Asks for a document again and again, and holds the layout of the last
// one. The variant's root runs the commands it asks for through the
// executable data engine, which hands over a command's output only when
// the command ends: so the one-shot bar command is run again at the time
// its document names, and within a few seconds otherwise, for a new
// snapshot.
Item {
    id: feed

    // "dark" or "light": the design's colours for the theme's background.
    property string appearance: "dark"
    property var layout: LimitsLayout.waitingLayout()

    signal run(string command)

    function poll() {
        next.stop();
        feed.run(LimitsLayout.barCommand(feed.appearance));
    }

    function open() {
        feed.run(LimitsLayout.openCommand());
    }

    // The end of a command the root ran for this feed, with the engine's data.
    function ended(command, data) {
        if (command === LimitsLayout.openCommand())
            return;
        const answer = LimitsLayout.answerOf(data["exit code"], data.stdout, Date.now());
        if (answer.layout !== null && !LimitsLayout.sameLayout(answer.layout, feed.layout))
            feed.layout = answer.layout;
        next.interval = answer.delay;
        next.restart();
    }

    onAppearanceChanged: poll()
    Component.onCompleted: poll()

    Timer {
        id: next
        repeat: false
        onTriggered: feed.poll()
    }
}
