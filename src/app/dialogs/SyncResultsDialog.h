#pragma once

#include "online/GoogleSync.h"

#include <QDialog>

class QLabel;

namespace cardolin::app {

// The six counters of the last synchronisation and its total time.
class SyncResultsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SyncResultsDialog(QWidget *parent = nullptr);

    void SetResults(const TSyncCounters &counters, const QString &information);
    // "Created", "Deleted" and "Updated" of one side, as shown.
    QStringList CloudTexts() const;
    QStringList LocalTexts() const;
    QString InformationText() const;

private:
    QLabel *m_cloud[3] = {};
    QLabel *m_local[3] = {};
    QLabel *m_information = nullptr;
};

} // namespace cardolin::app
