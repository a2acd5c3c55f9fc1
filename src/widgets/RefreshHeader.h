#pragma once

#include <QObject>
#include <QPointer>

class QAbstractScrollArea;
class QLabel;

// Pull to refresh over a scrolling list: pulling down past the top (the wheel or a drag while
// the list is at its top) asks for a refresh; a "Loading…" strip then shows at the top until
// the owner says the loading has finished.
class RefreshHeader : public QObject
{
    Q_OBJECT

public:
    static constexpr int PullThreshold = 65; // pixels of pull that start a refresh

    explicit RefreshHeader(QAbstractScrollArea* area);
    bool isLoading() const { return m_loading; }
    // As the user's pull would (tests).
    void pull();
    void setLoading(bool loading);

Q_SIGNALS:
    void refreshRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool atTop() const;
    void addPull(int pixels);

    QPointer<QAbstractScrollArea> m_area;
    QLabel* m_strip;
    bool m_loading = false;
    int m_pulled = 0;
    int m_dragStartY = -1;
};
