#pragma once

#include <QString>

#include "app/core/ViewController.h"

namespace ui {
class Button;
class Label;
} // namespace ui

// The application's version, and the check for a newer one ("VersionCheck").
class AboutMeViewController : public ViewController {
    Q_OBJECT
public:
    // The version the check reports to the server.
    static constexpr const char* kCheckedVersion = "2015020601";
    static constexpr int kCheckTag = 1001;

    // Whether the update alert may open the address: a non-empty http or https address.
    static bool isOpenableUpdateUrl(const QString& url);

    explicit AboutMeViewController(QObject* parent = nullptr);

    ui::Label* versionID() const { return m_versionID; }
    QString versionUrl() const { return m_versionUrl; }
    ui::Button* checkButton() const { return m_checkButton; }

    void viewDidLoad() override;
    void buttonPressed();
    void checkUpTheVersionUpdate();

protected:
    void loadView() override;

private:
    void versionAnswered(const QVariantMap& reply);

    ui::Label* m_versionID = nullptr;
    ui::Button* m_checkButton = nullptr;
    QString m_versionUrl;
};
