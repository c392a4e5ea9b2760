#pragma once

#include "app/core/ViewController.h"

#include <QString>

// The operator's page shown inside the application. Callers instantiate the scene
// ("Main", "WebViewController"), set the complete page address and the title, and push it.
class WebViewController : public ViewController {
    Q_OBJECT
public:
    explicit WebViewController(QObject* parent = nullptr);

    QString requestURL() const { return m_requestURL; }
    void setRequestURL(const QString& url) { m_requestURL = url; }
    QString strOfTitle() const { return m_strOfTitle; }
    void setStrOfTitle(const QString& title) { m_strOfTitle = title; }

    void viewDidLoad() override;

private:
    QString m_requestURL;
    QString m_strOfTitle;
};
