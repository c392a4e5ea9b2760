#pragma once

#include <QString>

#include "app/core/ViewController.h"

namespace ui {
class Label;
}

// A screen whose subsystem is not built yet: a plain page showing its title.
class PlaceholderViewController : public ViewController {
    Q_OBJECT
public:
    explicit PlaceholderViewController(const QString& title, QObject* parent = nullptr);
    void viewDidLoad() override;
    ui::Label* titleLabel() const { return m_titleLabel; }

private:
    QString m_pageTitle;
    ui::Label* m_titleLabel = nullptr;
};
