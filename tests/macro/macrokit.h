#pragma once
// What the macro page suites share: a count of the hub's signals and a
// script of answers for the modal dialogs that open one after another.

#include "postmsg.h"
#include "testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

namespace MacroKit {

// Counts every signal of the hub emitted while it lives.
class HubSignals
{
public:
    HubSignals()
    {
        const QMetaObject *meta = PostMsg::GetInstance()->metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.methodType() != QMetaMethod::Signal)
                continue;
            const QByteArray signature = "2" + method.methodSignature();
            spies.emplace_back(std::make_unique<QSignalSpy>(PostMsg::GetInstance(), signature.constData()));
            names.append(method.name());
        }
    }
    // "SigName" for each emitted signal, in the order of the hub's signals.
    QStringList Emitted() const
    {
        QStringList emitted;
        for (size_t i = 0; i < spies.size(); ++i) {
            for (int n = 0; n < spies[i]->count(); ++n)
                emitted << names.at(int(i));
        }
        return emitted;
    }
    // The arguments of a signal emitted exactly once; empty otherwise.
    QList<QVariant> Arguments(const QString &name) const
    {
        const int i = names.indexOf(name.toLatin1());
        return (i >= 0 && spies[size_t(i)]->count() == 1) ? spies[size_t(i)]->first() : QList<QVariant>();
    }

private:
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    QList<QByteArray> names;
};

// Answers the modal dialogs that open one after another: the n-th step acts
// on the n-th dialog. Polls with a timer instead of waiting inside a nested
// loop, so a dialog can close and the next one open in between.
class ModalScript : public QObject
{
public:
    using Step = std::function<void(QWidget *)>;
    explicit ModalScript(QList<Step> steps) : remaining(std::move(steps))
    {
        connect(&timer, &QTimer::timeout, this, &ModalScript::Poll);
        timer.start(10);
    }
    // Object names of the dialogs answered, in order.
    QStringList seen;

private:
    void Poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == last || !modal->isVisible() || remaining.isEmpty())
            return;
        last = modal;
        seen << modal->objectName();
        remaining.takeFirst()(modal);
    }
    QList<Step> remaining;
    QPointer<QWidget> last;
    QTimer timer;
};

inline ModalScript::Step Click(const QString &child)
{
    return [child](QWidget *modal) { TestSupport::AnswerModal(modal, child); };
}

// Types a name into the name dialog and confirms it.
inline ModalScript::Step TypeAndConfirm(const QString &name)
{
    return [name](QWidget *modal) {
        QTest::keyClicks(modal->findChild<QLineEdit *>("lineEdit"), name);
        TestSupport::AnswerModal(modal, "NewHong");
    };
}

}  // namespace MacroKit
