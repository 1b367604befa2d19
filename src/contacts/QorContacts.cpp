#include "contacts/QorContacts.h"

#include "contacts/ContactFields.h"
#include "contacts/ContactUid.h"
#include "contacts/ContactsBookFile.h"
#include "platform/DesktopServices.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "support/Clock.h"
#include "support/UserPrompts.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <unordered_set>

namespace cardolin {

namespace {

struct ModuleState
{
    QString rootElementName;
    TMapsProvider mapsProvider = mpNone;
    bool propertiesDialogOpen = false;
};

ModuleState &Module()
{
    static ModuleState state;
    return state;
}

// The name of the executable up to its first full stop: a book records which
// program wrote it.
QString RootNameFromExecutable()
{
    const QString name = platform::ExecutableFileName();
    const QString root = name.section(QLatin1Char('.'), 0, 0);
    // A renamed program ("Quillet (1)") must not write books no reader accepts.
    static const QRegularExpression xmlName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.-]*$"));
    return xmlName.match(root).hasMatch() ? root : QStringLiteral("Quillet");
}

bool IsDigitsOnly(const QString &text)
{
    return !text.isEmpty()
           && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

platform::DesktopServices &NoDesktop()
{
    static platform::NoDesktopServices none;
    return none;
}

} // namespace

TQorContacts::TQorContacts()
    : m_clock(&SystemClock::Instance()), m_prompts(&SilentPrompts::Instance()), m_desktop(&NoDesktop())
{
    const QString defaultGroup = QStringLiteral("Default Group");
    for (QString &group : m_batchGeoMarkerGroup)
        group = defaultGroup;
    for (QString &color : m_zeeMapsColor)
        color = QStringLiteral("red");
    m_categories = {QStringLiteral("Contacts"), QStringLiteral("Coworkers"), QStringLiteral("Family"),
                    QStringLiteral("Favorites"), QStringLiteral("Friends"), QStringLiteral("Starred")};
    m_keywords = {QStringLiteral("Obsolete")};
    m_googleContactGroups = {QStringLiteral("Contacts"), QStringLiteral("Coworkers"), QStringLiteral("Family"),
                             QStringLiteral("Friends"), QStringLiteral("Starred")};
    m_titles = {QStringLiteral("Dr."), QStringLiteral("Miss"), QStringLiteral("Mr."),
                QStringLiteral("Mrs."), QStringLiteral("Ms."), QStringLiteral("Prof.")};
    m_suffixes = {QStringLiteral("Jr."), QStringLiteral("Sr.")};
    Module().rootElementName = RootNameFromExecutable();
}

TQorContacts::~TQorContacts()
{
    ClearContactDataList();
}

std::unique_ptr<TContactData> TQorContacts::NewContactData() const
{
    auto contact = std::make_unique<TContactData>();
    contact->Preferred = QStringLiteral("None");
    contact->Gender = QStringLiteral("Unspecified");
    if (!m_defaultCategory.isEmpty())
        contact->Categories.Add(m_defaultCategory);
    if (!m_defaultKeyword.isEmpty())
        contact->Keywords.Add(m_defaultKeyword);
    contact->Priority = QStringLiteral("Normal");
    contact->Sensitivity = QStringLiteral("Normal");
    contact->Created = DateTimeToSerial(m_clock->NowUtc());
    contact->Modified = DateTimeToSerial(m_clock->NowUtc());
    contact->Exportable = true;
    contact->Uid = NewContactUid();
    return contact;
}

TContactData *TQorContacts::CreateContactData()
{
    m_contactDataList.push_back(NewContactData());
    return m_contactDataList.back().get();
}

void TQorContacts::AppendContactDataList(TContactDataList records)
{
    m_contactDataList.reserve(m_contactDataList.size() + records.size());
    for (auto &record : records)
        m_contactDataList.push_back(std::move(record));
}

int TQorContacts::AppendImportedContactDataList(TContactDataList records)
{
    std::erase(records, nullptr);
    // A vCard brings its own UID; one the book already has is not taken.
    QSet<QString> taken;
    taken.reserve(qsizetype(m_contactDataList.size()));
    for (const auto &contact : m_contactDataList)
        taken.insert(contact->Uid);
    GiveUniqueUids(records, taken);
    const size_t before = m_contactDataList.size();
    AppendContactDataList(std::move(records));
    if (FormatContacts())
        for (size_t i = before; i < m_contactDataList.size(); ++i)
            FormatContactData(m_contactDataList[i].get());
    return int(m_contactDataList.size() - before);
}

bool TQorContacts::CopyContactData(const TContactData *SourceContactData, TContactData *DestContactData,
                                   TContactType AContactType) const
{
    if (!SourceContactData || !DestContactData)
        return false;
    for (const ContactField &field : ContactFields()) {
        const bool copy = field.copy == CopyRule::Always
                          || (field.copy == CopyRule::DefaultOnly && AContactType == ctDefault)
                          || (field.copy == CopyRule::GoogleOnly && AContactType == ctGoogle);
        if (copy)
            CopyField(field, *SourceContactData, *DestContactData);
        else if (field.copy == CopyRule::Reset)
            FieldRef<TDateTime>(*DestContactData, field) = 0;
    }
    return true;
}

qsizetype TQorContacts::IndexOfContactData(const TContactData *AContactData) const
{
    const auto it = std::find_if(m_contactDataList.begin(), m_contactDataList.end(),
                                 [&](const auto &owned) { return owned.get() == AContactData; });
    return it == m_contactDataList.end() ? -1 : it - m_contactDataList.begin();
}

bool TQorContacts::DeleteContactData(TContactData *AContactData)
{
    if (!AContactData || IndexOfContactData(AContactData) < 0)
        return false;
    HandOverRemoved(TakeContactDataList({AContactData}));
    return true;
}

int TQorContacts::DeleteContactDataList(const std::vector<TContactData *> &records)
{
    TRemovedContacts removed = TakeContactDataList(records);
    const int count = int(removed.size());
    HandOverRemoved(std::move(removed));
    return count;
}

TRemovedContacts TQorContacts::TakeContactDataList(const std::vector<TContactData *> &records)
{
    // One pass over the book instead of a search and a shift per record.
    const std::unordered_set<const TContactData *> doomed(records.begin(), records.end());
    const auto isDoomed = [&](const TContactData *contact) { return doomed.contains(contact); };
    std::erase_if(m_queryResults, isDoomed);
    TRemovedContacts removed;
    size_t kept = 0;
    for (size_t i = 0; i < m_contactDataList.size(); ++i) {
        if (isDoomed(m_contactDataList[i].get()))
            removed.emplace_back(qsizetype(i), std::move(m_contactDataList[i]));
        else
            m_contactDataList[kept++] = std::move(m_contactDataList[i]);
    }
    m_contactDataList.resize(kept);
    return removed;
}

void TQorContacts::PutBackContactDataList(TRemovedContacts removed)
{
    TContactDataList merged;
    merged.reserve(m_contactDataList.size() + removed.size());
    size_t next = 0;
    for (auto &[position, record] : removed) {
        while (qsizetype(merged.size()) < position && next < m_contactDataList.size())
            merged.push_back(std::move(m_contactDataList[next++]));
        merged.push_back(std::move(record));
    }
    while (next < m_contactDataList.size())
        merged.push_back(std::move(m_contactDataList[next++]));
    m_contactDataList = std::move(merged);
}

void TQorContacts::HandOverRemoved(TRemovedContacts removed)
{
    if (m_recorder && !removed.empty())
        m_recorder->Removed(std::move(removed));
}

void TQorContacts::ClearContactDataList()
{
    m_queryResults.clear();
    if (!m_recorder) {
        m_contactDataList.clear();
        return;
    }
    TRemovedContacts removed;
    removed.reserve(m_contactDataList.size());
    for (size_t i = 0; i < m_contactDataList.size(); ++i)
        removed.emplace_back(qsizetype(i), std::move(m_contactDataList[i]));
    m_contactDataList.clear();
    HandOverRemoved(std::move(removed));
}

int TQorContacts::LoadFromXMLFile(const QString &FileName)
{
    m_lastError.clear();
    QFile file(FileName);
    if (!file.exists())
        return 0;
    BusyCursor busy(*m_prompts);
    // Open before clearing: a book that cannot even be opened must not empty the
    // collection the user is looking at.
    if (!file.open(QIODevice::ReadOnly)) {
        m_lastError = QStringLiteral("Cannot open \"%1\": %2").arg(FileName, file.errorString());
        return 0;
    }
    // The collection is replaced only by a book that reads whole.
    QString error;
    if (!bookfile::Load(file, *this, error))
        m_lastError = QStringLiteral("Cannot load \"%1\": %2").arg(FileName, error);
    return int(m_contactDataList.size());
}

int TQorContacts::SaveToXMLFile(const QString &FileName)
{
    BusyCursor busy(*m_prompts);
    m_lastError.clear();
    // Written beside the book and renamed over it only when complete, so a full
    // disk or a crash never leaves a half-written book in its place. A link at
    // the book's path is written through: users link books on purpose.
    // Another program that wrote the book meanwhile (one that ignores its
    // lock) keeps its version: replacing it would undo that work unseen.
    const platform::FileStamp before = platform::StampOf(FileName);
    QString reason;
    platform::SaveOptions options;
    options.beforeReplace = [&] {
        return platform::StampOf(FileName) == before
                   ? QString()
                   : QStringLiteral("another program changed it while it was being saved");
    };
    options.error = &reason;
    const bool saved =
        platform::SaveFile(FileName, [this](QIODevice &file) { return bookfile::Write(*this, file); }, options);
    if (!saved) {
        m_lastError = QStringLiteral("Cannot save \"%1\": %2.").arg(FileName, reason);
        m_prompts->ShowError(m_lastError);
        return 0;
    }
    return int(m_contactDataList.size());
}

int TQorContacts::RemoveUnassigned(QStringList &vocabulary, TSortedStringList TContactData::*member)
{
    // One pass over the book collects what is in use; a case-folded key stands for
    // the case-insensitive comparison.
    QSet<QString> used;
    for (const auto &contact : m_contactDataList)
        for (const QString &entry : (*contact).*member)
            used.insert(entry.toCaseFolded());
    const qsizetype before = vocabulary.size();
    vocabulary.removeIf([&](const QString &entry) { return !used.contains(entry.toCaseFolded()); });
    return int(before - vocabulary.size());
}

int TQorContacts::RemoveUnassignedCategories()
{
    return RemoveUnassigned(m_categories, &TContactData::Categories);
}

int TQorContacts::RemoveUnassignedKeywords()
{
    return RemoveUnassigned(m_keywords, &TContactData::Keywords);
}

void TQorContacts::SetCategories(const QStringList &value)
{
    AssignList(m_categories, value);
}

void TQorContacts::SetKeywords(const QStringList &value)
{
    AssignList(m_keywords, value);
}

void TQorContacts::SetTitles(const QStringList &value)
{
    AssignList(m_titles, value);
}

void TQorContacts::SetMapsProvider(TMapsProvider value)
{
    m_mapsProvider = value;
    Module().mapsProvider = value;
}

void TQorContacts::SetProxyPort(const QString &value)
{
    // Only a plain run of digits is a port; anything else falls back to 80.
    SetText(m_proxyPort, IsDigitsOnly(value) ? value : QStringLiteral("80"));
}

void TQorContacts::ReportError(const QString &context, const QString &type, const QString &text, int count)
{
    if (OnError)
        OnError(this, context, type, text, count);
}

void TQorContacts::ReportProgress(int min, int max, int position)
{
    if (OnProgress)
        OnProgress(this, min, max, position);
}

void TQorContacts::SetText(QString &field, const QString &value)
{
    if (field != value)
        field = value;
}

void TQorContacts::SetColor(QString &field, const QString &value)
{
    SetText(field, value.toLower());
}

void TQorContacts::AssignList(QStringList &field, const QStringList &value)
{
    // Qt lists are values (copy on write), so the caller's list is never shared.
    if (&field != &value)
        field = value;
}

QString TQorContacts::RootElementName()
{
    return Module().rootElementName;
}

void TQorContacts::SetRootElementName(const QString &name)
{
    Module().rootElementName = name;
}

TMapsProvider TQorContacts::MapsProviderInUse()
{
    return Module().mapsProvider;
}

bool TQorContacts::PropertiesDialogOpen()
{
    return Module().propertiesDialogOpen;
}

void TQorContacts::SetPropertiesDialogOpen(bool open)
{
    Module().propertiesDialogOpen = open;
}

} // namespace cardolin
