// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/WindowFit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/main/UserSettings.h"

namespace ostelvia::ui {

namespace {

// A title bar and borders the window manager adds around the client area.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 40;

class SizeKeeper : public QObject {
public:
    explicit SizeKeeper(QWidget* window) : QObject(window), window_(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Hide && !window_->isMinimized())
            // Not stored: the window opens at its preferred size next time.
            storeUserSetting(rememberedSizeKey(window_), window_->size());
        return false;
    }

private:
    QWidget* window_;
};

const QScreen* screenOf(const QWidget* window)
{
    if (const QWidget* parent = window->parentWidget()) {
        if (const QScreen* screen = parent->screen())
            return screen;
    }
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

}  // namespace

QString rememberedSizeKey(const QWidget* window)
{
    return QStringLiteral("Finestre/%1").arg(window->objectName());
}

QSize roomOnScreen(const QScreen* screen)
{
    if (!screen)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    return screen->availableGeometry().size() - QSize(kFrameWidth, kFrameHeight);
}

void fitToScreen(QWidget* window, QSize preferred)
{
    const QSize remembered = userSetting(rememberedSizeKey(window)).toSize();
    QSize size = remembered.isValid() && !remembered.isEmpty() ? remembered : preferred;
    const QScreen* screen = screenOf(window);
    const QSize room = roomOnScreen(screen);
    // The layouts would refuse to go below their minimum: let them, within
    // the screen; the tables scroll.
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    size = size.boundedTo(room).expandedTo(window->minimumSizeHint().boundedTo(room));
    window->resize(size);
    if (screen) {
        const QRect free = screen->availableGeometry();
        window->move(free.left() + (free.width() - size.width()) / 2,
                     free.top() + std::max(0, (free.height() - size.height() - kFrameHeight) / 2));
    }
    new SizeKeeper(window);
}

}  // namespace ostelvia::ui
