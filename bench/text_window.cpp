// The least a Qt program does to show a window with text in the editor's typeface: a frameless window of the
// mod selection window's size with a caption and a list of three rows. The second anchor of the start-up:
// finding and loading the fonts is paid on both sides, the rest (skin, five windows, sounds) only by the editor.
#include "widgets/TextStyle.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QWidget>

namespace {

class Window final : public QWidget
{
public:
    Window() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {}

protected:
    // The children paint in the same pass, after this; the exit waits until the pass is over.
    void paintEvent(QPaintEvent*) override
    {
        if (!m_painted) {
            m_painted = true;
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        }
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TextStyle::install();
    Window window;
    window.setFixedSize(137, 121);
    auto* caption = new QLabel(QStringLiteral("Select Mod To Edit"), &window);
    caption->setFont(TextStyle::font(9.75));
    caption->setGeometry(8, 8, 121, 17);
    auto* list = new QListWidget(&window);
    list->setFont(TextStyle::font(8.25));
    list->setGeometry(8, 24, 121, 66);
    list->addItems({QStringLiteral("Bot Names Only"), QStringLiteral("gx3190"), QStringLiteral("lower.case mod")});
    window.show();
    return QApplication::exec();
}
