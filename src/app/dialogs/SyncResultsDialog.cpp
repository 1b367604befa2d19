#include "app/dialogs/SyncResultsDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace cardolin::app {

namespace {

QGroupBox *CounterGroup(QWidget *parent, const QString &title, const QString &name, QLabel *(&labels)[3])
{
    auto *group = new QGroupBox(title, parent);
    group->setObjectName(name);
    auto *form = new QFormLayout(group);
    const QString captions[3] = {SyncResultsDialog::tr("Created :"), SyncResultsDialog::tr("Deleted :"),
                                 SyncResultsDialog::tr("Updated :")};
    for (int i = 0; i < 3; ++i) {
        labels[i] = new QLabel(QStringLiteral("0"), group);
        labels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        labels[i]->setMinimumWidth(60);
        form->addRow(captions[i], labels[i]);
    }
    return group;
}

QStringList TextsOf(QLabel *const (&labels)[3])
{
    return {labels[0]->text(), labels[1]->text(), labels[2]->text()};
}

} // namespace

SyncResultsDialog::SyncResultsDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(tr("Sync Results"));
    auto *layout = new QVBoxLayout(this);
    auto *groups = new QHBoxLayout;
    groups->addWidget(CounterGroup(this, tr("Google Contacts Service"), QStringLiteral("CloudGroupBox"), m_cloud));
    groups->addWidget(CounterGroup(this, tr("Cardolin"), QStringLiteral("LocalGroupBox"), m_local));
    layout->addLayout(groups);
    m_information = new QLabel(this);
    m_information->setObjectName(QStringLiteral("InformationLabel"));
    m_information->setWordWrap(true);
    layout->addWidget(m_information);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close = buttons->addButton(tr("Close"), QDialogButtonBox::AcceptRole);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

void SyncResultsDialog::SetResults(const TSyncCounters &counters, const QString &information)
{
    const int cloud[3] = {counters.CloudCreated, counters.CloudDeleted, counters.CloudUpdated};
    const int local[3] = {counters.LocalCreated, counters.LocalDeleted, counters.LocalUpdated};
    for (int i = 0; i < 3; ++i) {
        m_cloud[i]->setText(QString::number(cloud[i]));
        m_local[i]->setText(QString::number(local[i]));
    }
    m_information->setText(information);
}

QStringList SyncResultsDialog::CloudTexts() const
{
    return TextsOf(m_cloud);
}

QStringList SyncResultsDialog::LocalTexts() const
{
    return TextsOf(m_local);
}

QString SyncResultsDialog::InformationText() const
{
    return m_information->text();
}

} // namespace cardolin::app
