#pragma once

#include "contacts/ContactData.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QPair>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QJsonObject;

namespace cardolin {

class Clock;
class LoopbackListener;
class UserPrompts;
class TQorContacts;
struct WebRequest;
struct WebResponse;
namespace platform {
class DesktopServices;
}

using TErrorEvent = std::function<void(TQorContacts *Sender, const QString &ErrorContext,
                                       const QString &ErrorType, const QString &ErrorString, int ErrorCount)>;
using TProgressEvent = std::function<void(TQorContacts *Sender, int Min, int Max, int Position)>;

// The attributes of a font, without a dependency on the GUI: the desktop program
// turns them into a real font.
struct TFontSpec
{
    QString Name;
    int PointSize = 9;
    QString Color = QStringLiteral("InfoText");
    bool operator==(const TFontSpec &) const = default;
};

using TContactDataList = std::vector<std::unique_ptr<TContactData>>;
// Records taken out of a book, each with its position before it left, in
// ascending order of position.
using TRemovedContacts = std::vector<std::pair<qsizetype, std::unique_ptr<TContactData>>>;

// Hears of every change to a book while it is installed, so that a command can
// be undone: a record's fields are about to change, or records leave the book,
// handed over rather than destroyed.
class TContactChangeRecorder
{
public:
    virtual ~TContactChangeRecorder() = default;
    virtual void WillChange(TContactData &record) = 0;
    virtual void Removed(TRemovedContacts removed) = 0;
};

// What the contact dialog reports when it closes. On OK it has already written
// its fields, the ticked categories and keywords included, into the record; the
// collection then updates its vocabularies from the dialog's lists and flags.
struct TContactDialogResult
{
    bool Confirmed = false;
    QStringList CategoryEntries; // every entry of the dialog's list, ticked or not
    bool CategoryAddedFlag = false;
    bool CategoryDeletedFlag = false;
    QStringList KeywordEntries;
    bool KeywordAddedFlag = false;
    bool KeywordDeletedFlag = false;
};

// Shows the contact dialog modally; installed by the desktop program.
using TContactDialog = std::function<TContactDialogResult(TQorContacts &Contacts, TContactData &AContactData,
                                                          bool Editable, const QString &Caption)>;

// One set of contacts with the settings and vocabularies that work on them. It
// owns its records: they live until DeleteContactData, ClearContactDataList, a
// load, or the collection's end.
class TQorContacts
{
public:
    TQorContacts();
    ~TQorContacts();
    TQorContacts(const TQorContacts &) = delete;
    TQorContacts &operator=(const TQorContacts &) = delete;

    // Where the collection reads "now" and talks to the user; both must outlive it.
    void SetClock(const Clock &clock) { m_clock = &clock; }
    const Clock &GetClock() const { return *m_clock; }
    void SetPrompts(UserPrompts &prompts) { m_prompts = &prompts; }
    UserPrompts &Prompts() const { return *m_prompts; }
    // The browser and the clipboard; must outlive the collection.
    void SetDesktop(platform::DesktopServices &desktop) { m_desktop = &desktop; }
    platform::DesktopServices &Desktop() const { return *m_desktop; }

    // Records.
    TContactData *CreateContactData();
    // A record with the defaults CreateContactData gives, not yet in the book.
    std::unique_ptr<TContactData> NewContactData() const;
    // Appends records made elsewhere (a book read as a whole), in their order.
    void AppendContactDataList(TContactDataList records);
    // Appends imported records, formatted when formatting is on; null ones are
    // skipped. Returns how many were added.
    int AppendImportedContactDataList(TContactDataList records);
    bool CopyContactData(const TContactData *SourceContactData, TContactData *DestContactData,
                         TContactType AContactType) const;
    bool DeleteContactData(TContactData *AContactData);
    // Deletes many records in one pass; returns how many belonged here.
    int DeleteContactDataList(const std::vector<TContactData *> &records);
    void ClearContactDataList();
    // Takes records out of the book without destroying them, and puts such
    // records back where they were.
    TRemovedContacts TakeContactDataList(const std::vector<TContactData *> &records);
    void PutBackContactDataList(TRemovedContacts removed);
    // While a recorder is installed, removed records go to it.
    void SetChangeRecorder(TContactChangeRecorder *recorder) { m_recorder = recorder; }
    TContactChangeRecorder *ChangeRecorder() const { return m_recorder; }
    void NoteWillChange(TContactData *record)
    {
        if (m_recorder && record)
            m_recorder->WillChange(*record);
    }
    void HandOverRemoved(TRemovedContacts removed);
    int RemoveUnassignedCategories();
    int RemoveUnassignedKeywords();

    const TContactDataList &ContactDataList() const { return m_contactDataList; }
    std::vector<TContactData *> &QueryResultsContactDataList() { return m_queryResults; }
    qsizetype IndexOfContactData(const TContactData *AContactData) const;

    // Names and display strings.
    QString GetDisplayNameFromContactData(const TContactData *AContactData, TDisplayType ADisplayType) const;
    TContactData *GetContactDataFromDisplayName(const QString &DisplayName);
    bool IsContactDataUnique(const TContactData *AContactData) const;
    QString ComputeInitialsFromContactData(const TContactData *AContactData) const;
    void BreakFullNameString(const QString &FullNameString, QString &Title, QString &FirstName, QString &MiddleName,
                             QString &LastName, QString &Suffix) const;
    QString GetCategoriesAsStringFromContactData(const TContactData *AContactData) const;
    QString GetKeywordsAsStringFromContactData(const TContactData *AContactData) const;
    QString GetPreferredEmailFromContactData(const TContactData *AContactData) const;
    QString GetPreferredMobilePhoneFromContactData(const TContactData *AContactData) const;
    // True when the contact's display name of that type is exactly name.
    bool HasDisplayName(const TContactData &contact, TDisplayType type, QStringView name) const;

    // Query and text search. The query fills QueryResultsContactDataList.
    int QueryContactDataList(const QString &FindText, TQueryType AQueryType, TDisplayType ADisplayType);
    bool FindTextInContactData(const TContactData *AContactData, const QString &FindText,
                               TQueryType AQueryType) const;

    // Views or edits one contact in the installed dialog; without a record, a new
    // one is created and kept only when the user confirms. True when confirmed and
    // kept. Without a dialog nothing is shown and the answer is false.
    bool DisplayContactProperties(TContactData *AContactData, bool Editable, const QString &Caption);
    void SetContactDialog(TContactDialog dialog) { m_contactDialog = std::move(dialog); }
    bool HasContactDialog() const { return bool(m_contactDialog); }

    // Deduplication, merging and formatting.
    TContactData *MergeContactData(const TContactData *ThisContactData, const TContactData *WithThisContactData,
                                   TContactData *IntoThisContactData);
    int DeduplicateContactData(TContactData *AContactData, TDeduplicationMethod ADeduplicationMethod);
    int DeduplicateContactDataList(TDeduplicationMethod ADeduplicationMethod);
    bool FormatContactData(TContactData *AContactData);
    void FormatContactDataList();

    // Contacts book file. Load returns the number of records afterwards and keeps
    // the reason of a failed load in LastError(); save returns the number written,
    // 0 on failure, and LastError() tells a failure from an empty book.
    int LoadFromXMLFile(const QString &FileName);
    int SaveToXMLFile(const QString &FileName);
    const QString &LastError() const { return m_lastError; }
    void SetLastError(const QString &error) { m_lastError = error; }

    // CSV files (formats/). Imports return the number of contacts added, exports
    // the number written, 0 when the file cannot be saved.
    int ImportFromCSVFile(const QString &FileName);
    int ImportFromWindowsContactsCSVFile(const QString &FileName);
    int ExportToWindowsContactsCSVFile(const QString &FileName);
    int ImportFromOutlookCSVFile(const QString &FileName);
    int ExportToOutlookCSVFile(const QString &FileName);
    int ImportFromOutlookFrenchCSVFile(const QString &FileName);
    int ExportToOutlookFrenchCSVFile(const QString &FileName);
    int ImportFromGoogleCSVFile(const QString &FileName);
    int ExportToGoogleCSVFile(const QString &FileName);
    int ImportFromGoogleDeprecatedCSVFile(const QString &FileName);
    int ExportToGoogleDeprecatedCSVFile(const QString &FileName);
    int ImportFromNokiaCSVFile(const QString &FileName);
    int ExportToNokiaCSVFile(const QString &FileName);
    int ImportFromYahooCSVFile(const QString &FileName);
    int ExportToYahooCSVFile(const QString &FileName);
    int ImportFromBlackBerryCSVFile(const QString &FileName);
    int ExportToBlackBerryCSVFile(const QString &FileName);
    // Today's Google Contacts export and Thunderbird's address book export. Both
    // read their columns by name, so files with more, fewer or reordered
    // columns of the same names import too.
    int ImportFromGoogleContactsCSVFile(const QString &FileName);
    int ExportToGoogleContactsCSVFile(const QString &FileName);
    int ImportFromThunderbirdCSVFile(const QString &FileName);
    int ExportToThunderbirdCSVFile(const QString &FileName);
    // vCard 2.1 cards in the program's own dialect; the imports read cards of
    // versions 2.1, 3.0 and 4.0 of any writer. Imports and exports return the
    // number of contacts moved; a folder import counts the files it could not
    // read in SkippedFileCount().
    bool ReadContactDataFromvCardFile(TContactData *AContactData, const QString &FileName);
    bool WriteContactDataTovCardFile(const TContactData *AContactData, const QString &FileName);
    int ImportFromvCardFile(const QString &FileName);
    int ExportTovCardFile(const QString &FileName);
    int ImportFromvCardFolder(const QString &FolderName);
    int ExportTovCardFolder(const QString &FolderName);
    int SkippedFileCount() const { return m_skippedFileCount; }
    // Standard vCard 3.0 cards for other address books: UTF-8, escaped, folded.
    bool WriteContactDataTovCard3File(const TContactData *AContactData, const QString &FileName);
    int ExportTovCard3File(const QString &FileName);
    int ExportTovCard3Folder(const QString &FolderName);

    // LDIF records with the Mozilla attribute names; the same shapes as vCard.
    bool ReadContactDataFromLDIFFile(TContactData *AContactData, const QString &FileName);
    bool WriteContactDataToLDIFFile(const TContactData *AContactData, const QString &FileName);
    int ImportFromLDIFFile(const QString &FileName);
    int ExportToLDIFFile(const QString &FileName);
    int ImportFromLDIFFolder(const QString &FolderName);
    int ExportToLDIFFolder(const QString &FolderName);

    // Windows Contacts ".contact" files, read only. A file that is not one
    // leaves no record behind and counts in SkippedFileCount().
    bool ReadContactDataFromWindowsContactsFile(TContactData *AContactData, const QString &FileName);
    int ImportFromWindowsContactsFolder(const QString &FolderName);

    // Map exports. The KML export geocodes locations without coordinates and
    // leaves the number it geocoded in Tag().
    int ExportToGoogleEarthKMLFile(const QString &FileName);
    int ExportToBatchGeoCSVFile(const QString &FileName);
    int ExportToZeeMapsCSVFile(const QString &FileName);
    int Tag() const { return m_tag; }
    void SetTag(int value) { m_tag = value; }

    // Geocoding and summaries of a location.
    bool UpdateContactDataCoordinatesUsingGoogleGeocodingAPI(TContactData *AContactData, TLocationType ALocationType);
    QString GetCoordinatesUsingGoogleGeocodingAPI(const QString &Address);
    void BuildContactDataSummary(const TContactData *AContactData, TLocationType ALocationType,
                                 QStringList &AStringList) const;
    void BuildContactDataPlaceSummary(const TContactData *AContactData, TLocationType ALocationType,
                                      QStringList &AStringList) const;
    // A fresh request with the base address and the proxy settings; the People
    // service's requests add JSON and the access token.
    void ApplyRequestDefaults(WebRequest &request, const QString &baseUrl) const;
    void ApplyPeopleRequestDefaults(WebRequest &request, const QString &baseUrl) const;
    // Executes a request; one refused for carrying a secret in clear is told to the user.
    WebResponse Send(const WebRequest &request) const;

    // Google account access (online/). Connect obtains an access token: the one
    // held while younger than an hour, else by the refresh token, else by an
    // authorization in the browser whose code the user confirms.
    bool ConnectToGoogleContactsService();
    bool IsConnectedToGoogleContactsService() const { return !m_googleAccessToken.isEmpty(); }
    bool DisconnectFromGoogleContactsService();
    // The listener that receives the browser's answer; it is started only while
    // an authorization waits for its code. Null: the user pastes the code.
    void SetLoopbackListener(LoopbackListener *listener) { m_loopback = listener; }
    // Replaces the contacts with the account's: their number, -1 when none, 0
    // when not connected. A page that failed leaves LastError() set.
    int ImportFromGoogleContactsService();
    bool ReadGoogleContactPhotoFromGoogleContactsService(TContactData *AContactData);
    // Uploads the exportable contacts: the number sent, -1 when there is nothing
    // to send or no connection. LastGoogleExportCounts() tells them apart.
    int ExportToGoogleContactsService();
    bool DeleteGoogleContactFromGoogleContactsService(TContactData *AContactData, bool DeleteContactDataAction);
    int ReadGoogleContactGroupsFromGoogleContactsService();
    int WriteGoogleContactGroupsToGoogleContactsService();
    bool DeleteGoogleContactGroupFromGoogleContactsService(const QString &GoogleContactGroup);
    QString GetGoogleContactGroupName(const QString &ResourceName);
    QString GetGoogleContactGroupResourceName(const QString &Name) const;
    // The raw lines of the last list answers.
    const QStringList &RESTStrings() const { return m_restStrings; }

    struct GoogleExportCounts
    {
        int created = 0, updated = 0, failed = 0;
    };
    const GoogleExportCounts &LastGoogleExportCounts() const { return m_googleExportCounts; }
    // What the last import could not hold of each account person (by resource
    // name): an update sends it back, so that the account keeps it.
    using GoogleLeftovers = QHash<QString, QJsonObject>;
    const GoogleLeftovers &GooglePersonLeftovers() const { return m_googleLeftovers; }
    void SetGooglePersonLeftovers(const GoogleLeftovers &leftovers) { m_googleLeftovers = leftovers; }

    // How long the program waits for the service: after a rate-limit answer
    // that names no wait, and before asking again for a later page that failed
    // (doubling each time). Tests shorten them.
    struct GoogleServiceTiming
    {
        int rateLimitWaitMs = 60000;
        int pageRetries = 3;
        int pageRetryWaitMs = 2000;
        int requestIdleMs = 30000;     // one request's silence
        int requestDeadlineMs = 60000; // one request's whole answer
    };
    void SetGoogleServiceTiming(const GoogleServiceTiming &timing) { m_googleTiming = timing; }

    // Vocabularies.
    const QStringList &Categories() const { return m_categories; }
    void SetCategories(const QStringList &value);
    // Adds the entries the vocabulary lacks (compared in any letter case).
    void AddCategories(const QStringList &entries);
    void AddKeywords(const QStringList &entries);
    const QStringList &Keywords() const { return m_keywords; }
    void SetKeywords(const QStringList &value);
    const QStringList &Titles() const { return m_titles; }
    void SetTitles(const QStringList &value);
    const QStringList &Suffixes() const { return m_suffixes; }
    const QStringList &GoogleContactGroups() const { return m_googleContactGroups; }

    // Plain settings.
    const QString &DefaultCategory() const { return m_defaultCategory; }
    void SetDefaultCategory(const QString &value) { SetText(m_defaultCategory, value); }
    const QString &DefaultKeyword() const { return m_defaultKeyword; }
    void SetDefaultKeyword(const QString &value) { SetText(m_defaultKeyword, value); }
    TDisplayType DisplayType() const { return m_displayType; }
    void SetDisplayType(TDisplayType value) { m_displayType = value; }
    TDisplayTypeOptions DisplayTypeOptions() const { return m_displayTypeOptions; }
    void SetDisplayTypeOptions(TDisplayTypeOptions value) { m_displayTypeOptions = value; }
    TFindOptions FindOptions() const { return m_findOptions; }
    void SetFindOptions(TFindOptions value) { m_findOptions = value; }
    const TFontSpec &Font() const { return m_font; }
    void SetFont(const TFontSpec &value) { m_font = value; }
    const TFontSpec &FontNotes() const { return m_fontNotes; }
    void SetFontNotes(const TFontSpec &value) { m_fontNotes = value; }
    bool FormatContacts() const { return m_formatContacts; }
    void SetFormatContacts(bool value) { m_formatContacts = value; }
    TFormatContactsOptions FormatContactsOptions() const { return m_formatContactsOptions; }
    void SetFormatContactsOptions(TFormatContactsOptions value) { m_formatContactsOptions = value; }
    TMapsProvider MapsProvider() const { return m_mapsProvider; }
    void SetMapsProvider(TMapsProvider value);

    // Google account and network.
    const QString &GoogleAccount() const { return m_googleAccount; }
    void SetGoogleAccount(const QString &value) { SetText(m_googleAccount, value); }
    const QString &GoogleClientID() const { return m_googleClientID; }
    void SetGoogleClientID(const QString &value) { SetText(m_googleClientID, value); }
    const QString &GoogleClientSecret() const { return m_googleClientSecret; }
    void SetGoogleClientSecret(const QString &value) { SetText(m_googleClientSecret, value); }
    const QString &GoogleGeocodingKey() const { return m_googleGeocodingKey; }
    void SetGoogleGeocodingKey(const QString &value) { SetText(m_googleGeocodingKey, value); }
    const QString &GoogleRefreshToken() const { return m_googleRefreshToken; }
    void SetGoogleRefreshToken(const QString &value) { m_googleRefreshToken = value; }
    bool GoogleContactGroupsAvailability() const { return m_googleContactGroupsAvailability; }
    void SetGoogleContactGroupsAvailability(bool value) { m_googleContactGroupsAvailability = value; }
    const QString &ProxyAddress() const { return m_proxyAddress; }
    void SetProxyAddress(const QString &value) { SetText(m_proxyAddress, value); }
    const QString &ProxyPort() const { return m_proxyPort; }
    void SetProxyPort(const QString &value);

    // Map exports.
    const QString &BatchGeoLowPriorityMarkerGroup() const { return m_batchGeoMarkerGroup[0]; }
    void SetBatchGeoLowPriorityMarkerGroup(const QString &v) { SetText(m_batchGeoMarkerGroup[0], v); }
    const QString &BatchGeoNormalPriorityMarkerGroup() const { return m_batchGeoMarkerGroup[1]; }
    void SetBatchGeoNormalPriorityMarkerGroup(const QString &v) { SetText(m_batchGeoMarkerGroup[1], v); }
    const QString &BatchGeoHighPriorityMarkerGroup() const { return m_batchGeoMarkerGroup[2]; }
    void SetBatchGeoHighPriorityMarkerGroup(const QString &v) { SetText(m_batchGeoMarkerGroup[2], v); }
    const QString &GoogleEarthLowPriorityMarkerColor() const { return m_googleEarthColor[0]; }
    void SetGoogleEarthLowPriorityMarkerColor(const QString &v) { SetColor(m_googleEarthColor[0], v); }
    const QString &GoogleEarthNormalPriorityMarkerColor() const { return m_googleEarthColor[1]; }
    void SetGoogleEarthNormalPriorityMarkerColor(const QString &v) { SetColor(m_googleEarthColor[1], v); }
    const QString &GoogleEarthHighPriorityMarkerColor() const { return m_googleEarthColor[2]; }
    void SetGoogleEarthHighPriorityMarkerColor(const QString &v) { SetColor(m_googleEarthColor[2], v); }
    const QString &ZeeMapsLowPriorityMarkerColor() const { return m_zeeMapsColor[0]; }
    void SetZeeMapsLowPriorityMarkerColor(const QString &v) { SetColor(m_zeeMapsColor[0], v); }
    const QString &ZeeMapsNormalPriorityMarkerColor() const { return m_zeeMapsColor[1]; }
    void SetZeeMapsNormalPriorityMarkerColor(const QString &v) { SetColor(m_zeeMapsColor[1], v); }
    const QString &ZeeMapsHighPriorityMarkerColor() const { return m_zeeMapsColor[2]; }
    void SetZeeMapsHighPriorityMarkerColor(const QString &v) { SetColor(m_zeeMapsColor[2], v); }

    // Events; a missing handler is simply not called.
    TErrorEvent OnError;
    TProgressEvent OnProgress;
    void ReportError(const QString &context, const QString &type, const QString &text, int count);
    void ReportProgress(int min, int max, int position);

    // State shared by every collection of the process.
    static QString RootElementName();
    static void SetRootElementName(const QString &name);
    static TMapsProvider MapsProviderInUse();
    static bool PropertiesDialogOpen();
    static void SetPropertiesDialogOpen(bool open);

private:
    static void SetText(QString &field, const QString &value);
    static void SetColor(QString &field, const QString &value);
    static void AssignList(QStringList &field, const QStringList &value);
    int RemoveUnassigned(QStringList &vocabulary, TSortedStringList TContactData::*member);

    void ObtainGoogleAuthorizationCode();
    void RequestGoogleTokens(const QList<QPair<QString, QString>> &fields, const QString &failure);
    WebResponse FetchGooglePage(const QString &resource, const QString &operation, bool laterPage);
    // How much one listing may bring: far above what an account can hold.
    struct GooglePageBounds
    {
        qint64 maxItems;
        const char *itemsName;
    };
    bool ReadGooglePages(const QString &resource, const QString &operation, const QString &errorMessage,
                         const GooglePageBounds &bounds,
                         const std::function<int(const QJsonObject &page, bool firstPage)> &takePage);
    bool FailGooglePages(const QString &reason, const QString &errorMessage);
    void FillContactFromPerson(const QJsonObject &person, TContactData &c, bool &groupsRead);
    // Formats a contact read from the account when asked to, and names one
    // without names after its e-mail address.
    void FinishImportedContact(TContactData &c);
    WebResponse UploadContact(const TContactData &c);
    void ApplyDialogVocabularies(const TContactDialogResult &result);
    void MakeNewestOfItsName(TContactData &contact) const;

    const Clock *m_clock;
    UserPrompts *m_prompts;
    TContactChangeRecorder *m_recorder = nullptr;
    platform::DesktopServices *m_desktop;
    LoopbackListener *m_loopback = nullptr;
    TContactDialog m_contactDialog;

    QString m_batchGeoMarkerGroup[3];
    QStringList m_categories;
    QStringList m_keywords;
    QStringList m_titles;
    QStringList m_suffixes;
    QStringList m_googleContactGroups;
    TContactDataList m_contactDataList;
    std::vector<TContactData *> m_queryResults; // references only
    int m_skippedFileCount = 0;
    int m_tag = 0;
    QString m_defaultCategory;
    QString m_defaultKeyword;
    TDisplayType m_displayType = dtFirstMiddleLastName;
    TDisplayTypeOptions m_displayTypeOptions;
    TFindOptions m_findOptions = foIgnoreAccentedChars;
    TFontSpec m_font{QStringLiteral("Segoe UI")};
    TFontSpec m_fontNotes{QStringLiteral("Calibri")};
    bool m_formatContacts = false;
    bool m_googleContactGroupsAvailability = false;
    TFormatContactsOptions m_formatContactsOptions = fcoDialNumber | fcoEmail | fcoWebsite;
    QString m_googleAccount;
    QString m_googleClientID;
    QString m_googleClientSecret;
    QString m_googleGeocodingKey;
    bool m_geocodingBatch = false;   // an export asks for many contacts in a row
    bool m_geocodingRefused = false; // the key was refused during that batch
    QString m_googleRefreshToken;
    QString m_googleAuthCode;
    QString m_googleAccessToken;
    QDateTime m_googleAccessTokenTimestamp;
    QString m_codeVerifier; // of the authorization whose code is not exchanged yet
    QString m_loopbackUrl;
    QStringList m_restStrings;
    GoogleServiceTiming m_googleTiming;
    GoogleExportCounts m_googleExportCounts;
    GoogleLeftovers m_googleLeftovers;
    QString m_googleEarthColor[3];
    TMapsProvider m_mapsProvider = mpNone;
    QString m_proxyAddress;
    QString m_proxyPort = QStringLiteral("80");
    QString m_zeeMapsColor[3];
    QString m_lastError;
};

} // namespace cardolin
