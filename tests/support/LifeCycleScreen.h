#pragma once

#include "platform/ui/ViewController.h"

#include <QStringList>

// A screen that writes its life cycle to a log as "name:event": load, willAppear, didAppear,
// willDisappear, didDisappear, moved, removed (from its parent) and deleted.
class LifeCycleScreen : public ui::ViewController {
public:
    LifeCycleScreen(QString name, QStringList& log) : m_name(std::move(name)), m_log(log) {}
    ~LifeCycleScreen() override { m_log << m_name + ":deleted"; }

    void viewDidLoad() override { m_log << m_name + ":load"; }
    void viewWillAppear(bool) override { m_log << m_name + ":willAppear"; }
    void viewDidAppear(bool) override { m_log << m_name + ":didAppear"; }
    void viewWillDisappear(bool) override { m_log << m_name + ":willDisappear"; }
    void viewDidDisappear(bool) override { m_log << m_name + ":didDisappear"; }
    void didMoveToParentViewController(ui::ViewController* parent) override {
        m_log << m_name + (parent ? ":moved" : ":removed");
    }
    QString name() const { return m_name; }

    // The appearance events of a log, the rest left out.
    static QStringList appearances(const QStringList& log) {
        QStringList out;
        for (const QString& entry : log)
            if (entry.endsWith("Appear") || entry.endsWith("Disappear")) out << entry;
        return out;
    }

private:
    QString m_name;
    QStringList& m_log;
};
