#pragma once

#include "ViewController.h"

class QLabel;

// A screen that stands in for one not built yet: its title and tab icon, centred, and a
// line saying so when the content server cannot be reached. Follows the
// "internetConnectionAvailable" notification; the initial state is set by its creator.
class PlaceholderViewController : public ViewController
{
    Q_OBJECT

public:
    // titleKey is a string-table key; imageName names the tab icon.
    PlaceholderViewController(const QString& nibName, const QString& titleKey, const QString& imageName,
                              QObject* parent = nullptr);
    ~PlaceholderViewController() override;

    bool isOffline() const { return m_offline; }
    void setOffline(bool offline);

protected:
    void loadView() override;

private:
    bool m_offline = false;
    QLabel* m_offlineLabel = nullptr;
};
