// The desktop program's application object: an exception thrown by an event
// handler is shown as an error message and the event loop goes on.
#include "ui/app/GuardedApplication.h"
#include "ui/app/Prompts.h"

#include <QEvent>
#include <QtTest>

#include <new>
#include <stdexcept>

using namespace corvalt::ui;

namespace {

// Throws from its event handler what the test asks for.
class TThrowingObject : public QObject {
  public:
    enum class TThrow { Nothing, OutOfMemory, Failure, Other };
    TThrow Next = TThrow::Nothing;
    int Handled = 0;

    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        ++Handled;
        switch (std::exchange(Next, TThrow::Nothing)) {
        case TThrow::OutOfMemory:
            throw std::bad_alloc();
        case TThrow::Failure:
            throw std::runtime_error("a fault");
        case TThrow::Other:
            throw 42;
        case TThrow::Nothing:
            break;
        }
        return true;
    }
};

// Records the message boxes instead of showing them.
class TRecordedPrompts : public TPrompts {
  public:
    QStringList Texts;
    QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon icon, const QString&,
                                        const QString& text, QMessageBox::StandardButtons,
                                        QMessageBox::StandardButton, const QString&) override {
        Texts << (icon == QMessageBox::Critical ? text : QStringLiteral("not an error"));
        return QMessageBox::Ok;
    }
};

} // namespace

class GuardedApplicationTest : public QObject {
    Q_OBJECT
  private slots:
    void anExceptionFromAHandlerBecomesAMessageAndTheLoopGoesOn_data() {
        QTest::addColumn<int>("thrown");
        QTest::addColumn<QString>("message");
        const QString rest = QStringLiteral(" It was not completed; please save your work.");
        QTest::newRow("out of memory") << int(TThrowingObject::TThrow::OutOfMemory)
                                       << "There is not enough memory for this command." + rest;
        QTest::newRow("std::exception")
            << int(TThrowingObject::TThrow::Failure) << "The command failed: a fault." + rest;
        QTest::newRow("anything else") << int(TThrowingObject::TThrow::Other)
                                       << "The command failed for an unknown reason." + rest;
    }

    void anExceptionFromAHandlerBecomesAMessageAndTheLoopGoesOn() {
        QFETCH(int, thrown);
        QFETCH(QString, message);
        TRecordedPrompts prompts;
        SetPrompts(&prompts);
        TThrowingObject object;
        object.Next = static_cast<TThrowingObject::TThrow>(thrown);
        QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
        QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
        QTRY_COMPARE(object.Handled, 2); // the second event still arrives
        SetPrompts(nullptr);
        QCOMPARE(prompts.Texts, QStringList{message});
    }
};

int main(int argc, char** argv) {
    TGuardedApplication application(argc, argv);
    GuardedApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "GuardedApplicationTest.moc"
