// The per-document session: what its views hear of every change, whoever made it, and what
// is left of it once its editor has closed.
#include <QSignalSpy>
#include <QUndoStack>

#include "core/channels/channel_options.h"
#include "shell/ui_support.h"
#include "ui/editor/document_session.h"

namespace petrel::test {

class SessionTest : public QObject {
    Q_OBJECT
  private slots:
    void everyChangeAndItsUndoReachTheViews();
    void aClosedSessionRecordsNothing();
};

void SessionTest::everyChangeAndItsUndoReachTheViews() {
    Workspace workspace;
    const int slot = BuildNewConfiguration(workspace, 9, 16);
    DocumentSession session(workspace, slot);
    QSignalSpy lines(&session, &DocumentSession::LinesChanged);
    QSignalSpy options(&session, &DocumentSession::OptionsChanged);
    QSignalSpy chosen(&session, &DocumentSession::LineChosen);
    const std::string before = session.Doc().lines[2];

    // An edit made through the session and one made by the core directly are heard alike.
    session.ApplyEdits({{2, ChannelLine(3, "446.031250", 0, "NONE", 0)}}, 2);
    QCOMPARE(lines.count(), 1);
    QCOMPARE(lines.at(0).at(1).toBool(), false);
    QCOMPARE(chosen.at(0).at(0).toInt(), 2);
    QVERIFY(SetChannelOptions(session.Doc(), 0, 0x06));
    QCOMPARE(options.count(), 1);
    QVERIFY(session.Doc().state.Dirty);

    session.UndoStack().undo();  // the options
    QCOMPARE(options.count(), 2);
    session.UndoStack().undo();  // the line
    QCOMPARE(lines.count(), 2);
    QCOMPARE(lines.at(1).at(1).toBool(), true);
    QCOMPARE(session.Doc().lines[2], before);
    QVERIFY(!session.Doc().state.Dirty);  // back where it was saved
    session.UndoStack().redo();
    QVERIFY(session.Doc().lines[2] != before);
    QVERIFY(session.Doc().state.Dirty);
}

void SessionTest::aClosedSessionRecordsNothing() {
    Workspace workspace;
    const int slot = BuildNewConfiguration(workspace, 9, 16);
    DocumentSession session(workspace, slot);
    QSignalSpy closed(&session, &DocumentSession::Closed);
    session.Close();
    session.Close();
    QCOMPARE(closed.count(), 1);
    QVERIFY(session.IsClosed());
    // The document may live on in its slot; the session takes no more of its changes.
    const std::string line = ChannelLine(1, "446.006250", 0, "NONE", 0);
    session.ApplyEdits({{0, line}});
    QVERIFY(session.Doc().lines[0] != line);
    EditChannelLines(workspace.At(slot), {{0, line}});
    QCOMPARE(session.UndoStack().count(), 0);
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::SessionTest)
#include "session_test.moc"
