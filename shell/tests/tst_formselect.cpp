#include "shell/FormSelect.h"

#include "mainwindow/FormMain.h"
#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"
#include "shell/Artwork.h"
#include "shell/EditorContext.h"
#include "shell/ImageButton.h"
#include "shell/StartUp.h"
#include "shell/TextStyle.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// The demo game, the shared parts and the two windows a mod selection touches.
struct Setup
{
    DemoGameFolder demo;
    ModSettings model;
    RecordingPrompter prompter;
    RecordingSounds sounds;
    IntroSwitch intro;
    EditorContext context{model, prompter, sounds, intro};
    std::unique_ptr<FormMain> main;
    std::unique_ptr<FormSelect> select;

    Setup()
    {
        main = std::make_unique<FormMain>(context);
        context.main = main.get();
        select = std::make_unique<FormSelect>(context);
        model.ModsPath = demo.path + QStringLiteral("mods/");
        select->setMods(StartUp::ListMods(model.ModsPath));
        context.showOnly(select.get());
    }

    QListWidget* list() const { return select->findChild<QListWidget*>(QStringLiteral("ListMods")); }
    ImageButton* edit() const { return select->findChild<ImageButton*>(QStringLiteral("PictureEdit")); }

    // A real click on the row, as the user selects it.
    void clickRow(int row) const
    {
        QListWidget* mods = list();
        const QPoint centre = mods->visualItemRect(mods->item(row)).center();
        QTest::mouseClick(mods->viewport(), Qt::LeftButton, {}, centre);
    }
};

int Row(const QListWidget* list, const QString& name)
{
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? -1 : list->row(found.constFirst());
}

QString Artifacts()
{
    QString folder = qEnvironmentVariable("GX_ARTIFACTS");
    if (folder.isEmpty())
        folder = QDir::currentPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    return folder + QLatin1Char('/');
}

} // namespace

class TestFormSelect final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TextStyle::Install(); }

    void layout()
    {
        Setup s;
        QVERIFY(QTest::qWaitForWindowExposed(s.select.get()));
        QCOMPARE(s.select->size(), QSize(137, 121));
        auto* label = s.select->findChild<QLabel*>(QStringLiteral("LabelLSelectMod"));
        QVERIFY(label);
        QCOMPARE(label->geometry(), QRect(8, 8, 121, 17));
        QCOMPARE(label->text(), QStringLiteral("Select Mod To Edit"));
        QVERIFY(label->font().bold());
        QCOMPARE(label->font().pointSizeF(), 9.75);
        QCOMPARE(s.list()->geometry(), QRect(8, 24, 121, 66));
        QCOMPARE(s.list()->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(s.list()->font().pointSizeF(), 8.25);
        QCOMPARE(s.edit()->geometry(), QRect(8, 96, 121, 18));
        QCOMPARE(s.edit()->word(), QStringLiteral("EDIT"));
        // Bare names, in the order start-up gave them.
        QCOMPARE(s.select->mods(),
                 QStringList({DemoGame::NamesOnlyMod, DemoGame::CompleteMod, DemoGame::LowerCaseMod}));
        QCOMPARE(s.context.visibleWindows(), QList<QWidget*>{s.select.get()});

        const QString folder = Artifacts();
        QVERIFY(s.select->grab().save(folder + QStringLiteral("FormSelect.png")));
        const QList<QPair<QString, QPixmap>> art = {
            {QStringLiteral("MainBackground"), Artwork::MainBackground(2)},
            {QStringLiteral("DialogBackground"), Artwork::DialogBackground(QSize(201, 177), 2)},
            {QStringLiteral("ButtonSave"), Artwork::ButtonFace(QSize(91, 18), QStringLiteral("SAVE"), false, 2)},
            {QStringLiteral("ButtonSavePressed"), Artwork::ButtonFace(QSize(91, 18), QStringLiteral("SAVE"), true, 2)},
            {QStringLiteral("ButtonEdit"), Artwork::ButtonFace(QSize(121, 18), QStringLiteral("EDIT"), false, 2)},
            {QStringLiteral("Exit"), Artwork::ExitFace(false, 2)},
            {QStringLiteral("ExitPressed"), Artwork::ExitFace(true, 2)},
            {QStringLiteral("Minimise"), Artwork::MinimiseFace(false, 2)},
            {QStringLiteral("CheckOn"), Artwork::CheckOn(2)},
            {QStringLiteral("CheckOff"), Artwork::CheckOff(2)},
            {QStringLiteral("SliderTrack"), Artwork::SliderTrack(2)},
            {QStringLiteral("SliderKnob"), Artwork::SliderKnob(2)},
            {QStringLiteral("Icon"), Artwork::ApplicationIcon().pixmap(256)},
        };
        for (const auto& [name, pixmap] : art)
            QVERIFY(pixmap.save(folder + QStringLiteral("Artwork-") + name + QStringLiteral("@2x.png")));
    }

    void editWithOtherButtonsDoesNothing()
    {
        Setup s;
        s.clickRow(Row(s.list(), DemoGame::CompleteMod));
        QTest::mouseClick(s.edit(), Qt::RightButton, {}, QPoint(60, 9));
        QTest::mouseClick(s.edit(), Qt::MiddleButton, {}, QPoint(60, 9));
        QVERIFY(s.sounds.played.isEmpty());
        QVERIFY(s.select->isVisible());
        QVERIFY(!s.main->isVisible());
        QVERIFY(s.model.ModFolder.isEmpty());
    }

    void editWithoutSelectionOnlyClicks()
    {
        Setup s;
        QVERIFY(s.list()->selectedItems().isEmpty());
        QTest::mouseClick(s.edit(), Qt::LeftButton, {}, QPoint(60, 9));
        QCOMPARE(s.sounds.played, QList<int>{1});
        QVERIFY(!s.edit()->isDown());
        QCOMPARE(s.context.visibleWindows(), QList<QWidget*>{s.select.get()});
        QVERIFY(s.model.ModFolder.isEmpty());
        QVERIFY(s.prompter.boxes.isEmpty());

        // A double-click on the empty space under the rows opens nothing either.
        QTest::mouseDClick(s.list()->viewport(), Qt::LeftButton, {}, QPoint(60, 60));
        QCOMPARE(s.context.visibleWindows(), QList<QWidget*>{s.select.get()});
    }

    void openTheMod_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("double-click") << QStringLiteral("double-click");
        QTest::newRow("edit button") << QStringLiteral("edit");
        QTest::newRow("enter key") << QStringLiteral("enter");
    }

    void openTheMod()
    {
        QFETCH(QString, how);
        Setup s;
        const int row = Row(s.list(), DemoGame::CompleteMod);
        QVERIFY(row >= 0);
        s.clickRow(row);
        // This window plays only the button click; the main window's controls may click as they take the
        // loaded values, which is theirs to decide.
        if (how == QLatin1String("double-click")) {
            const QPoint centre = s.list()->visualItemRect(s.list()->item(row)).center();
            QTest::mouseDClick(s.list()->viewport(), Qt::LeftButton, {}, centre);
            QCOMPARE(s.sounds.played.count(1), 0);
        } else if (how == QLatin1String("edit")) {
            QTest::mouseClick(s.edit(), Qt::LeftButton, {}, QPoint(60, 9));
            QCOMPARE(s.sounds.played.count(1), 1);
            QCOMPARE(s.sounds.played.constFirst(), 1);
        } else {
            s.list()->setFocus();
            QTest::keyClick(s.list(), Qt::Key_Return);
            QCOMPARE(s.sounds.played.count(1), 0);
        }
        QCOMPARE(s.model.ModFolder, s.demo.mod(DemoGame::CompleteMod));
        QVERIFY(!s.model.ModFolder.endsWith(QLatin1Char('/')));
        QCOMPARE(s.model.BotNames(), DemoGame::BotNames);
        QVERIFY(s.intro.IntroOn());
        QCOMPARE(s.context.visibleWindows(), QList<QWidget*>{s.main.get()});
        QVERIFY(!s.select->isVisible());
        QVERIFY(s.prompter.boxes.isEmpty());
    }

    void modNameIsAppendedUnchanged()
    {
        Setup s;
        s.clickRow(Row(s.list(), DemoGame::LowerCaseMod));
        QTest::mouseClick(s.edit(), Qt::LeftButton, {}, QPoint(60, 9));
        QCOMPARE(s.model.ModFolder, s.model.ModsPath + DemoGame::LowerCaseMod);
        QCOMPARE(s.context.visibleWindows(), QList<QWidget*>{s.main.get()});
    }

    void closeRequestEndsTheProgram()
    {
        Setup s;
        QSignalSpy quitting(QCoreApplication::instance(), &QCoreApplication::aboutToQuit);
        QTimer::singleShot(0, s.select.get(), [&s] { s.select->close(); });
        // Only a guard against hanging the run if the request were ignored; the result is what is checked.
        QTimer::singleShot(20000, QCoreApplication::instance(), [] { QCoreApplication::exit(2); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(quitting.count(), 1);
        QVERIFY(s.prompter.boxes.isEmpty());
    }
};

QTEST_MAIN(TestFormSelect)
#include "tst_formselect.moc"
