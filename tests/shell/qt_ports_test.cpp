#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "document/program_state.h"
#include "shell/qt_ports.h"
#include "shell/status_area.h"

namespace petrel::test {

namespace {

// Runs check on the first modal dialog of type T once it is up, then lets finish close it.
template <typename T>
void WhenShown(std::function<void(T*)> check) {
    QTimer::singleShot(0, [check] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            QTimer::singleShot(10, [check] { WhenShown<T>(check); });
            return;
        }
        check(dialog);
    });
}

}  // namespace

class QtPortsTest : public QObject {
    Q_OBJECT
  private slots:
    void messageBoxShowsTheTextTitleButtonsIconAndDefault();
    void fileDialogsUseTheConfigurationFilterAndDefaultExtension();
    void statusLabelTakesTextColourAndSize();
    void workingFolderIsMadeInTheDocumentsLocation();
};

void QtPortsTest::messageBoxShowsTheTextTitleButtonsIconAndDefault() {
    using Box = QMessageBox;
    struct Case {
        Message message;
        QString title;
        Box::StandardButtons buttons;
        Box::Icon icon;
        Box::StandardButton defaultButton;
        Box::StandardButton click;  // NoButton: Escape
        Answer answer;
    };
    const QString caption = "PC Software for Petrel Serial Radio";
    const Case cases[] = {
        {Message{"The data in [X] has changed.\n\rDo you want?", "Title", Buttons::YesNoCancel,
                 Icon::Exclamation, Answer::No},
         "Title", Box::Yes | Box::No | Box::Cancel, Box::Warning, Box::No, Box::Cancel,
         Answer::Cancel},
        {Message{"Try Again ?", {}, Buttons::YesNo, Icon::Stop, std::nullopt}, caption,
         Box::Yes | Box::No, Box::Critical, Box::Yes, Box::Yes, Answer::Yes},
        {Message{"Question ?", {}, Buttons::YesNo, Icon::Question, std::nullopt}, caption,
         Box::Yes | Box::No, Box::Question, Box::Yes, Box::NoButton, Answer::No},
        {Message{"Done", {}, Buttons::Ok, Icon::None, std::nullopt}, caption, Box::Ok, Box::NoIcon,
         Box::Ok, Box::NoButton, Answer::Ok}};
    QtPrompter prompter;
    for (const Case& c : cases) {
        QString text;
        QString title;
        Box::StandardButtons buttons;
        Box::Icon icon = Box::NoIcon;
        bool isDefault = false;
        WhenShown<Box>([&](Box* box) {
            text = box->text();
            title = box->windowTitle();
            buttons = box->standardButtons();
            icon = box->icon();
            isDefault = box->defaultButton() == box->button(c.defaultButton);
            c.click == Box::NoButton ? QTest::keyClick(box, Qt::Key_Escape)
                                     : box->button(c.click)->click();
        });
        QCOMPARE(prompter.Ask(c.message), c.answer);
        // "\n\r" shows as one line break.
        QCOMPARE(text, QString::fromStdString(c.message.text).replace("\n\r", "\n"));
        QCOMPARE(title, c.title);
        QCOMPARE(buttons, c.buttons);
        QCOMPARE(icon, c.icon);
        QVERIFY(isDefault);
    }
}

void QtPortsTest::fileDialogsUseTheConfigurationFilterAndDefaultExtension() {
    QTemporaryDir dir;
    QtFileChooser chooser;
    QStringList shown;  // accept mode, filters and default suffix of each dialog
    const auto answer = [&](bool accept) {
        WhenShown<QFileDialog>([&shown, &dir, accept](QFileDialog* dialog) {
            shown << QString("%1 %2 %3")
                         .arg(dialog->acceptMode() == QFileDialog::AcceptSave ? "save" : "open",
                              dialog->nameFilters().join(';'), dialog->defaultSuffix());
            dialog->selectFile(dir.filePath("radio"));
            QMetaObject::invokeMethod(dialog, accept ? "accept" : "reject");
        });
    };
    answer(true);
    const std::string saved = chooser.AskSaveName(dir.filePath("proposed.cfg").toStdString());
    QCOMPARE(QString::fromStdString(saved), dir.filePath("radio.TXT"));
    answer(false);
    QCOMPARE(chooser.AskOpenName(), std::string());  // cancelled: no name
    QCOMPARE(shown, QStringList({"save EEPROM.CFG (*.cfg) TXT", "open EEPROM.CFG (*.cfg) TXT"}));
}

void QtPortsTest::statusLabelTakesTextColourAndSize() {
    StatusArea status;
    status.resize(800, 40);
    status.show();
    auto* label = status.findChild<QLabel*>("labErrMsg");
    auto* progress = status.findChild<QProgressBar*>("ProgressBar1");
    QVERIFY(!progress->isVisible());
    status.SetStatus("Petrel (PMR) detected", kStatusBlack, kStatusFontLarge);
    QCOMPARE(label->text(), QString("Petrel (PMR) detected"));
    QCOMPARE(label->font().pointSize(), 15);
    QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    status.SetStatus("Not detected", kStatusRed, kStatusFontNormal);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(label->font().pointSize(), 12);

    // The progress bar stands right of the label and reaches the right edge.
    status.SetProgressRange(480);
    status.SetProgress(240);
    status.ShowProgress(true);
    QVERIFY(progress->isVisible());
    QVERIFY(progress->x() > label->geometry().right());
    QVERIFY(progress->geometry().right() < status.width());
    QVERIFY(progress->geometry().right() > status.width() - 10);
    QCOMPARE(QPoint(progress->value(), progress->maximum()), QPoint(240, 480));
    status.ShowProgress(false);
    QVERIFY(!progress->isVisible());
}

void QtPortsTest::workingFolderIsMadeInTheDocumentsLocation() {
    QTemporaryDir home;
    const QString previous = QDir::currentPath();
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());

    const QString folder = EnterWorkingFolder();

    const QString expected = QDir(home.path()).filePath("Documents/Petrel CPS");
    QDir::setCurrent(previous);
    qputenv("HOME", oldHome);
    oldConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldConfig);
    QCOMPARE(folder, expected);
    QVERIFY(QFileInfo(expected).isDir());
}

}  // namespace petrel::test

QTEST_MAIN(petrel::test::QtPortsTest)
#include "qt_ports_test.moc"
