#pragma once

#include "app/core/ViewController.h"

namespace ui {
class TextView;
}

// The answers to common questions: fixed text in a read-only text view filling the screen.
class FAQViewController : public ViewController {
    Q_OBJECT
public:
    static QString faqText();

    explicit FAQViewController(QObject* parent = nullptr);

    ui::TextView* textView() const { return m_textView; }
    void viewDidLoad() override;

protected:
    void loadView() override;

private:
    ui::TextView* m_textView = nullptr;
};
