#include "app/Editor.h"
#include "core/ClickSoundPlayer.h"
#include "core/Prompter.h"
#include "tools/demogame/DemoGame.h"
#include "widgets/Artwork.h"
#include "widgets/ImageButton.h"
#include "widgets/TextStyle.h"
#include "windows/FormEdit.h"
#include "windows/FormLevel.h"
#include "windows/FormMain.h"
#include "windows/FormSave.h"
#include "windows/FormSelect.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

// gx3190-screenshots [FOLDER]: runs the editor on a fresh demo game at the scale the environment sets
// (QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS) and pictures every window. A window that cannot be reached, or a
// picture that is not drawn at the full device resolution, fails the run. The pictures are written into
// FOLDER, or without it into hidpi/<percent>/ of the folder GX_SCREENSHOTS names; with neither, nowhere.
namespace {

// Says yes to every question and remembers the rest, so that the walk never stops at a box.
class YesPrompter final : public Prompter
{
public:
    QStringList shown;
    bool question(const QString& text) override
    {
        shown.append(text);
        return true;
    }
    void information(const QString& text) override { shown.append(text); }
    void warning(const QString& text) override { shown.append(text); }
    void critical(const QString& text) override { shown.append(text); }
    QString chooseFolder(const QString& /*prompt*/, const QStringList& /*shortcuts*/) override { return {}; }
    std::optional<QString> askPassword(const QString& /*prompt*/) override { return std::nullopt; }
};

class Silence final : public ClickSoundPlayer
{
public:
    void PlayClickSound(ClickSound /*kind*/) override {}
};

void Press(QWidget* widget, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

QStringList g_failures;

void Shoot(const Editor& editor, QWidget* expected, const QString& folder, const QString& name)
{
    QApplication::processEvents();
    const QList<QWidget*> visible = editor.visibleWindows();
    if (visible != QList<QWidget*>{expected}) {
        g_failures.append(name + QStringLiteral(": the window is not the one on screen"));
        return;
    }
    const QPixmap picture = expected->grab();
    const qreal dpr = expected->devicePixelRatioF();
    const QSize wanted(qRound(expected->width() * dpr), qRound(expected->height() * dpr));
    if (picture.size() != wanted)
        g_failures.append(QStringLiteral("%1: %2 x %3 pixels, not %4 x %5")
                              .arg(name)
                              .arg(picture.width())
                              .arg(picture.height())
                              .arg(wanted.width())
                              .arg(wanted.height()));
    if (folder.isEmpty())
        return;
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!picture.save(path))
        g_failures.append(QStringLiteral("cannot write ") + path);
    else
        QTextStream(stdout) << path << "  " << expected->width() << " x " << expected->height() << " at " << dpr
                            << '\n';
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 2) {
        QTextStream(stderr) << "usage: gx3190-screenshots [FOLDER]\n";
        return 2;
    }
    QString folder = args.value(1);
    const QString asked = qEnvironmentVariable("GX_SCREENSHOTS");
    if (folder.isEmpty() && !asked.isEmpty())
        folder = asked + QStringLiteral("/hidpi/") + QString::number(qRound(app.devicePixelRatio() * 100));
    QTemporaryDir work;
    const QString game = work.path() + QStringLiteral("/game");
    if ((!folder.isEmpty() && !QDir().mkpath(folder)) || !work.isValid() || !DemoGame::create(game).isEmpty()) {
        QTextStream(stderr) << "cannot make the demo game or the folder " << folder << '\n';
        return 1;
    }
    TextStyle::install();
    QSettings store(work.path() + QStringLiteral("/store.ini"), QSettings::IniFormat);
    store.setValue(QStringLiteral("Paths/GXPath"), game + QLatin1Char('/'));

    YesPrompter prompter;
    Silence sounds;
    Editor editor(prompter, sounds);
    if (!editor.start(store)) {
        QTextStream(stderr) << "the editor did not start\n";
        return 1;
    }
    const Editor::Windows windows = editor.windows();
    Shoot(editor, windows.select, folder, QStringLiteral("FormSelect"));

    auto* mods = windows.select->findChild<QListWidget*>(QStringLiteral("ListMods"));
    const QList<QListWidgetItem*> mod = mods->findItems(DemoGame::CompleteMod, Qt::MatchExactly);
    if (mod.isEmpty()) {
        QTextStream(stderr) << "the demo mod is not listed\n";
        return 1;
    }
    mods->setCurrentItem(mod.constFirst());
    Press(mods, Qt::Key_Return);
    Shoot(editor, windows.main, folder, QStringLiteral("FormMain"));

    windows.edit->BeginBotNameEdit(0);
    Shoot(editor, windows.edit, folder, QStringLiteral("FormEdit-botname"));
    Press(windows.edit->findChild<ImageButton*>(QStringLiteral("PictureCancel")), Qt::Key_Space);
    windows.edit->BeginScoreEdit(0);
    Shoot(editor, windows.edit, folder, QStringLiteral("FormEdit-score"));
    Press(windows.edit->findChild<ImageButton*>(QStringLiteral("PictureCancel")), Qt::Key_Space);

    Press(windows.main->findChild<ImageButton*>(QStringLiteral("PictureSave")), Qt::Key_Space);
    Shoot(editor, windows.save, folder, QStringLiteral("FormSave"));
    Press(windows.save->findChild<ImageButton*>(QStringLiteral("PictureCancel")), Qt::Key_Space);

    windows.main->findChild<QComboBox*>(QStringLiteral("ComboLevels"))->setCurrentIndex(0);
    Press(windows.main->findChild<ImageButton*>(QStringLiteral("PictureEdit")), Qt::Key_Space);
    Shoot(editor, windows.level, folder, QStringLiteral("FormLevel"));
    Press(windows.level->findChild<ImageButton*>(QStringLiteral("PictureCancel")), Qt::Key_Space);

    // At the scales the build paints, every picture the windows showed came from the build.
    const int percent = qRound(windows.select->devicePixelRatioF() * 100);
    if (Artwork::hasBuiltPictures() && std::find(std::begin(Artwork::BuiltPercents), std::end(Artwork::BuiltPercents),
                                                 percent) != std::end(Artwork::BuiltPercents)) {
        for (const QString& painted : Artwork::paintedAtRunTime())
            g_failures.append(QStringLiteral("painted at run time, not built: ") + painted);
    }

    for (const QString& failure : g_failures)
        QTextStream(stderr) << failure << '\n';
    if (!g_failures.isEmpty() && !prompter.shown.isEmpty())
        QTextStream(stderr) << "boxes shown: " << prompter.shown.join(QStringLiteral(" | ")) << '\n';
    return g_failures.isEmpty() ? 0 : 1;
}
