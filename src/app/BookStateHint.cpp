#include "app/BookStateHint.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace cardolin::app {

namespace {
constexpr int kMostWidth = 520;
constexpr int kMargin = 10;
} // namespace

BookStateHint::BookStateHint(QWidget &viewport, std::function<void()> addContact)
    : QWidget(&viewport), m_title(new QLabel(this)), m_detail(new QLabel(this)),
      m_add(new QPushButton(style()->standardIcon(QStyle::SP_FileIcon), tr("Add Contact"), this))
{
    setObjectName(QStringLiteral("EmptyBookHint"));
    auto *layout = new QVBoxLayout(this);
    m_title->setObjectName(QStringLiteral("BookStateTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setWordWrap(true);
    QFont larger = m_title->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.3);
    m_title->setFont(larger);
    layout->addWidget(m_title);
    m_detail->setObjectName(QStringLiteral("BookStateDetail"));
    m_detail->setAlignment(Qt::AlignCenter);
    m_detail->setWordWrap(true);
    m_detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_detail);
    m_add->setObjectName(QStringLiteral("EmptyBookAddButton"));
    connect(m_add, &QPushButton::clicked, this, std::move(addContact));
    layout->addWidget(m_add, 0, Qt::AlignHCenter);
    hide();
}

void BookStateHint::Show(const State &state)
{
    using Trouble = TContactsBookSession::TBookTrouble;
    const bool unreadable = state.Trouble == Trouble::Unreadable;
    if (state.Trouble == Trouble::None) {
        m_title->setText(tr("No contacts yet"));
        m_detail->clear();
    } else {
        m_title->setText(unreadable ? tr("The contacts book cannot be read") : tr("The contacts book is damaged"));
        const QString advice = unreadable ? tr("Check its permissions, or move what stands in its place")
                                          : tr("Repair it or put a good copy in its place");
        m_detail->setText(tr("%1\n\n%2\n\n%3, then press Refresh. Contacts added meanwhile cannot be saved there.")
                              .arg(state.Reason, QDir::toNativeSeparators(state.BookPath), advice));
    }
    // Adding is offered only where it can be kept.
    m_add->setVisible(state.Trouble == Trouble::None);
    m_detail->setVisible(state.Trouble != Trouble::None);
    setVisible(state.Empty);
    if (state.Empty)
        Place();
}

void BookStateHint::Place()
{
    const QSize area = parentWidget()->size();
    const int wanted = m_detail->isHidden() ? qMin(kMostWidth, sizeHint().width()) : kMostWidth;
    const int width = qMax(0, qMin(wanted, area.width() - 2 * kMargin));
    const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width) : sizeHint().height();
    setGeometry((area.width() - width) / 2, qMax(0, (area.height() - height) / 3), width, height);
}

} // namespace cardolin::app
