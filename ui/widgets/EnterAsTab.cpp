#include "ui/widgets/EnterAsTab.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>

namespace corvalt::ui {
namespace {

constexpr const char* kLastOfPage = "corvaltLastOfPage";

bool IsEnter(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           modifiers == Qt::NoModifier;
}

// The control a key event belongs to: the spin box or combo box around its
// inner line edit, or the widget itself.
QWidget* ControlOf(QWidget* widget) {
    QWidget* parent = widget->parentWidget();
    if (parent != nullptr && (qobject_cast<QAbstractSpinBox*>(parent) != nullptr ||
                              qobject_cast<QComboBox*>(parent) != nullptr))
        return parent;
    return widget;
}

// The page that holds the control: a page of a stack of pages, which may be
// the stack of a tab widget.
struct TPage {
    QStackedWidget* Stack = nullptr;
    QTabWidget* Tabs = nullptr; // the stack's tab widget, if any
    QWidget* Page = nullptr;
};

TPage PageOf(QWidget& control) {
    for (QWidget* w = &control; w != nullptr && !w->isWindow(); w = w->parentWidget())
        if (auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget()))
            return {stack, qobject_cast<QTabWidget*>(stack->parentWidget()), w};
    return {};
}

bool TakesTabFocus(const QWidget& widget, const QWidget& window) {
    return (widget.focusPolicy() & Qt::TabFocus) == Qt::TabFocus && widget.isEnabled() &&
           widget.isVisibleTo(&window) && widget.focusProxy() == nullptr;
}

void FocusFirstControlOf(QWidget& page) {
    QWidget* window = page.window();
    for (QWidget* w = page.nextInFocusChain(); w != nullptr && w != &page;
         w = w->nextInFocusChain()) {
        if (page.isAncestorOf(w) && TakesTabFocus(*w, *window)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

} // namespace

TEnterAsTab::TEnterAsTab(QDialog& dialog) : QObject(&dialog), dialog_(dialog) {
    qApp->installEventFilter(this);
}

void TEnterAsTab::Install(QDialog& dialog, bool enabled) {
    if (enabled) new TEnterAsTab(dialog);
}

void TEnterAsTab::MarkLastOfPage(QWidget& control, bool last) {
    control.setProperty(kLastOfPage, last);
}

bool TEnterAsTab::IsLastOfPage(const QWidget& control) {
    return control.property(kLastOfPage).toBool();
}

void TEnterAsTab::MoveToNextControl(QWidget& control) {
    // The window moves the focus on from its focus widget exactly as Tab does.
    QWidget* window = control.window();
    if (window->focusWidget() != &control && !control.isAncestorOf(window->focusWidget()))
        control.setFocus(Qt::OtherFocusReason);
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &tab);
}

bool TEnterAsTab::MoveToNextPage(QWidget& control) {
    const TPage page = PageOf(control);
    if (page.Stack == nullptr) return false;
    for (int i = page.Stack->indexOf(page.Page) + 1; i < page.Stack->count(); ++i) {
        if (page.Tabs != nullptr) {
            if (!page.Tabs->isTabVisible(i) || !page.Tabs->isTabEnabled(i)) continue;
            page.Tabs->setCurrentIndex(i);
        } else {
            page.Stack->setCurrentIndex(i);
        }
        FocusFirstControlOf(*page.Stack->widget(i));
        return true;
    }
    return false;
}

bool TEnterAsTab::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || !IsEnter(*static_cast<QKeyEvent*>(event))) return false;
    if (widget == &dialog_ || !dialog_.isAncestorOf(widget)) return false;
    QWidget* control = ControlOf(widget);
    if (qobject_cast<QPushButton*>(control) != nullptr ||
        qobject_cast<QToolButton*>(control) != nullptr)
        return false;
    if (IsLastOfPage(*control) && MoveToNextPage(*control)) return true;
    MoveToNextControl(*control);
    return true;
}

} // namespace corvalt::ui
