#include "contacts/ReferenceTables.h"

#include <QHash>
#include <QSet>

#include <array>

namespace cardolin {

namespace {

// clang-format off
constexpr std::array<LanguageRow, 160> kLanguages{{
    {u"Afrikaans (South Africa)",                            u"af-ZA"},
    {u"Albanian (Albania)",                                  u"sq-AL"},
    {u"Arabic (Algeria)",                                    u"ar-DZ"},
    {u"Arabic (Bahrain)",                                    u"ar-BH"},
    {u"Arabic (Egypt)",                                      u"ar-EG"},
    {u"Arabic (Iraq)",                                       u"ar-IQ"},
    {u"Arabic (Jordan)",                                     u"ar-JO"},
    {u"Arabic (Kuwait)",                                     u"ar-KW"},
    {u"Arabic (Lebanon)",                                    u"ar-LB"},
    {u"Arabic (Libya)",                                      u"ar-LY"},
    {u"Arabic (Morocco)",                                    u"ar-MA"},
    {u"Arabic (Oman)",                                       u"ar-OM"},
    {u"Arabic (Qatar)",                                      u"ar-QA"},
    {u"Arabic (Saudi Arabia)",                               u"ar-SA"},
    {u"Arabic (Syria)",                                      u"ar-SY"},
    {u"Arabic (Tunisia)",                                    u"ar-TN"},
    {u"Arabic (United Arab Emirates)",                       u"ar-AE"},
    {u"Arabic (Yemen)",                                      u"ar-YE"},
    {u"Armenian (Armenia)",                                  u"hy-AM"},
    {u"Azeri (Cyrillic) (Azerbaijan)",                       u"az-Cyrl-AZ"},
    {u"Azeri (Latin) (Azerbaijan)",                          u"az-Latn-AZ"},
    {u"Basque (Basque)",                                     u"eu-ES"},
    {u"Belarusian (Belarus)",                                u"be-BY"},
    {u"Bosnian (Bosnia and Herzegovina)",                    u"bs-Latn-BA"},
    {u"Bulgarian (Bulgaria)",                                u"bg-BG"},
    {u"Catalan (Catalan)",                                   u"ca-ES"},
    {u"Chinese (Hong Kong)",                                 u"zh-HK"},
    {u"Chinese (Macao)",                                     u"zh-MO"},
    {u"Chinese (People's Republic of China)",                u"zh-CN"},
    {u"Chinese (Simplified)",                                u"zh-CHS"},
    {u"Chinese (Singapore)",                                 u"zh-SG"},
    {u"Chinese (Taiwan)",                                    u"zh-TW"},
    {u"Chinese (Traditional)",                               u"zh-CHT"},
    {u"Croatian (Bosnia and Herzegovina)",                   u"hr-BA"},
    {u"Croatian (Croatia)",                                  u"hr-HR"},
    {u"Croatian",                                            u"hr-HR"},
    {u"Czech (Czech Republic)",                              u"cs-CZ"},
    {u"Danish (Denmark)",                                    u"da-DK"},
    {u"Divehi (Maldives)",                                   u"dv-MV"},
    {u"Dutch (Belgium)",                                     u"nl-BE"},
    {u"Dutch (Netherlands)",                                 u"nl-NL"},
    {u"English (Australia)",                                 u"en-AU"},
    {u"English (Belize)",                                    u"en-BZ"},
    {u"English (Canada)",                                    u"en-CA"},
    {u"English (Caribbean)",                                 u"en-029"},
    {u"English (Ireland)",                                   u"en-IE"},
    {u"English (Jamaica)",                                   u"en-JM"},
    {u"English (New Zealand)",                               u"en-NZ"},
    {u"English (Philippines, Republic of the)",              u"en-PH"},
    {u"English (South Africa)",                              u"en-ZA"},
    {u"English (Trinidad and Tobago)",                       u"en-TT"},
    {u"English (United Kingdom)",                            u"en-GB"},
    {u"English (United States)",                             u"en-US"},
    {u"English (Zimbabwe)",                                  u"en-ZW"},
    {u"Estonian (Estonia)",                                  u"et-EE"},
    {u"Faroese (Faroe Islands)",                             u"fo-FO"},
    {u"Finnish (Finland)",                                   u"fi-FI"},
    {u"French (Belgium)",                                    u"fr-BE"},
    {u"French (Canada)",                                     u"fr-CA"},
    {u"French (France)",                                     u"fr-FR"},
    {u"French (Luxembourg)",                                 u"fr-LU"},
    {u"French (Monaco, Principality of)",                    u"fr-MC"},
    {u"French (Switzerland)",                                u"fr-CH"},
    {u"Galician (Galician)",                                 u"gl-ES"},
    {u"Georgian (Georgia)",                                  u"ka-GE"},
    {u"German (Austria)",                                    u"de-AT"},
    {u"German (Germany)",                                    u"de-DE"},
    {u"German (Liechtenstein)",                              u"de-LI"},
    {u"German (Luxembourg)",                                 u"de-LU"},
    {u"German (Switzerland)",                                u"de-CH"},
    {u"Greek (Greece)",                                      u"el-GR"},
    {u"Gujarati (India)",                                    u"gu-IN"},
    {u"Hebrew (Israel)",                                     u"he-IL"},
    {u"Hindi (India)",                                       u"hi-IN"},
    {u"Hungarian (Hungary)",                                 u"hu-HU"},
    {u"Icelandic (Iceland)",                                 u"is-IS"},
    {u"Indonesian (Indonesia)",                              u"id-ID"},
    {u"Italian (Italy)",                                     u"it-IT"},
    {u"Italian (Switzerland)",                               u"it-CH"},
    {u"Japanese (Japan)",                                    u"ja-JP"},
    {u"Kannada (India)",                                     u"kn-IN"},
    {u"Kazakh (Kazakhstan)",                                 u"kk-KZ"},
    {u"Kiswahili (Kenya)",                                   u"sw-KE"},
    {u"Konkani (India)",                                     u"kok-IN"},
    {u"Korean (Korea)",                                      u"ko-KR"},
    {u"Kyrgyz (Kyrgyzstan)",                                 u"ky-KG"},
    {u"Latvian (Latvia)",                                    u"lv-LV"},
    {u"Lithuanian (Lithuania)",                              u"lt-LT"},
    {u"Macedonian (Former Yugoslav Republic of Macedonia)",  u"mk-MK"},
    {u"Malay (Brunei Darussalam)",                           u"ms-BN"},
    {u"Malay (Malaysia)",                                    u"ms-MY"},
    {u"Maltese (Malta)",                                     u"mt-MT"},
    {u"Maori (New Zealand)",                                 u"mi-NZ"},
    {u"Marathi (India)",                                     u"mr-IN"},
    {u"Mongolian (Cyrillic) (Mongolia)",                     u"mn-MN"},
    {u"Northern Sotho (South Africa)",                       u"ns-ZA"},
    {u"Norwegian - Bokmal (Norway)",                         u"nb-NO"},
    {u"Norwegian - Nynorsk (Norway)",                        u"nn-NO"},
    {u"Persian (Iran)",                                      u"fa-IR"},
    {u"Polish (Poland)",                                     u"pl-PL"},
    {u"Portuguese (Brazil)",                                 u"pt-BR"},
    {u"Portuguese (Portugal)",                               u"pt-PT"},
    {u"Punjabi (India)",                                     u"pa-IN"},
    {u"Quechua (Bolivia)",                                   u"quz-BO"},
    {u"Quechua (Ecuador)",                                   u"quz-EC"},
    {u"Quechua (Peru)",                                      u"quz-PE"},
    {u"Romanian (Romania)",                                  u"ro-RO"},
    {u"Russian (Russia)",                                    u"ru-RU"},
    {u"Sami - Inari (Finland)",                              u"smn-FI"},
    {u"Sami - Lule (Norway)",                                u"smj-NO"},
    {u"Sami - Lule (Sweden)",                                u"smj-SE"},
    {u"Sami - Northern (Finland)",                           u"se-FI"},
    {u"Sami - Northern (Norway)",                            u"se-NO"},
    {u"Sami - Northern (Sweden)",                            u"se-SE"},
    {u"Sami - Skolt (Finland)",                              u"sms-FI"},
    {u"Sami - Southern (Norway)",                            u"sma-NO"},
    {u"Sami - Southern (Sweden)",                            u"sma-SE"},
    {u"Sanskrit (India)",                                    u"sa-IN"},
    {u"Serbian (Cyrillic) (Bosnia and Herzegovina)",         u"sr-Cyrl-BA"},
    {u"Serbian (Cyrillic) (Serbia)",                         u"sr-Cyrl-CS"},
    {u"Serbian (Latin) (Bosnia and Herzegovina)",            u"sr-Latn-BA"},
    {u"Serbian (Latin) (Serbia)",                            u"sr-Latn-CS"},
    {u"Slovak (Slovakia)",                                   u"sk-SK"},
    {u"Slovenian (Slovenia)",                                u"sl-SI"},
    {u"Spanish (Argentina)",                                 u"es-AR"},
    {u"Spanish (Bolivia)",                                   u"es-BO"},
    {u"Spanish (Chile)",                                     u"es-CL"},
    {u"Spanish (Colombia)",                                  u"es-CO"},
    {u"Spanish (Costa Rica)",                                u"es-CR"},
    {u"Spanish (Dominican Republic)",                        u"es-DO"},
    {u"Spanish (Ecuador)",                                   u"es-EC"},
    {u"Spanish (El Salvador)",                               u"es-SV"},
    {u"Spanish (Guatemala)",                                 u"es-GT"},
    {u"Spanish (Honduras)",                                  u"es-HN"},
    {u"Spanish (Mexico)",                                    u"es-MX"},
    {u"Spanish (Nicaragua)",                                 u"es-NI"},
    {u"Spanish (Panama)",                                    u"es-PA"},
    {u"Spanish (Paraguay)",                                  u"es-PY"},
    {u"Spanish (Peru)",                                      u"es-PE"},
    {u"Spanish (Puerto Rico)",                               u"es-PR"},
    {u"Spanish (Spain)",                                     u"es-ES"},
    {u"Spanish (Uruguay)",                                   u"es-UY"},
    {u"Spanish (Venezuela)",                                 u"es-VE"},
    {u"Swedish (Finland)",                                   u"sv-FI"},
    {u"Swedish (Sweden)",                                    u"sv-SE"},
    {u"Syriac (Syria)",                                      u"syr-SY"},
    {u"Tamil (India)",                                       u"ta-IN"},
    {u"Tatar (Russia)",                                      u"tt-RU"},
    {u"Telugu (India)",                                      u"te-IN"},
    {u"Thai (Thailand)",                                     u"th-TH"},
    {u"Tswana (South Africa)",                               u"tn-ZA"},
    {u"Turkish (Turkey)",                                    u"tr-TR"},
    {u"Ukrainian (Ukraine)",                                 u"uk-UA"},
    {u"Urdu (Pakistan, Islamic Republic of)",                u"ur-PK"},
    {u"Uzbek (Cyrillic) (Uzbekistan)",                       u"uz-Cyrl-UZ"},
    {u"Uzbek (Latin) (Uzbekistan)",                          u"uz-Latn-UZ"},
    {u"Vietnamese (Vietnam)",                                u"vi-VN"},
    {u"Welsh (United Kingdom)",                              u"cy-GB"},
    {u"Xhosa (South Africa)",                                u"xh-ZA"},
    {u"Zulu (South Africa)",                                 u"zu-ZA"},
}};

// Kept as agreed, odd rows included: some codes carry area digits and some belong
// to another country too. Lookups by code take the first row.
constexpr std::array<CountryRow, 249> kCountries{{
    {u"Afghanistan",                                   u"AF", u"+93"},
    {u"Åland Islands",                                 u"AX", u"+358"},
    {u"Albania",                                       u"AL", u"+355"},
    {u"Algeria",                                       u"DZ", u"+213"},
    {u"American Samoa",                                u"AS", u"+684"},
    {u"Andorra",                                       u"AD", u"+376"},
    {u"Angola",                                        u"AO", u"+244"},
    {u"Anguilla",                                      u"AI", u"+1264"},
    {u"Antarctica",                                    u"AQ", u"+262"},
    {u"Antigua and Barbuda",                           u"AG", u"+93"},
    {u"Argentina",                                     u"AR", u"+54"},
    {u"Armenia",                                       u"AM", u"+374"},
    {u"Aruba",                                         u"AW", u"+297"},
    {u"Australia",                                     u"AU", u"+61"},
    {u"Austria",                                       u"AT", u"+43"},
    {u"Azerbaijan",                                    u"AZ", u"+994"},
    {u"Bahamas",                                       u"BS", u"+1242"},
    {u"Bahrain",                                       u"BH", u"+973"},
    {u"Bangladesh",                                    u"BD", u"+880"},
    {u"Barbados",                                      u"BB", u"+1246"},
    {u"Belarus",                                       u"BY", u"+375"},
    {u"Belgium",                                       u"BE", u"+32"},
    {u"Belize",                                        u"BZ", u"+501"},
    {u"Benin",                                         u"BJ", u"+229"},
    {u"Bermuda",                                       u"BM", u"+1441"},
    {u"Bhutan",                                        u"BT", u"+975"},
    {u"Bolivia, Plurinational State of",               u"BO", u"+5910"},
    {u"Bonaire, Sint Eustatius and Saba",              u"BQ", u"+599"},
    {u"Bosnia and Herzegovina",                        u"BA", u"+387"},
    {u"Botswana",                                      u"BW", u"+267"},
    {u"Bouvet Island",                                 u"BV", u"+55"},
    {u"Brazil",                                        u"BR", u"+554"},
    {u"British Indian Ocean Territory",                u"IO", u"+246"},
    {u"Brunei Darussalam",                             u"BN", u"+673"},
    {u"Bulgaria",                                      u"BG", u"+359"},
    {u"Burkina Faso",                                  u"BF", u"+226"},
    {u"Burundi",                                       u"BI", u"+257"},
    {u"Cambodia",                                      u"KH", u"+855"},
    {u"Cameroon",                                      u"CM", u"+237"},
    {u"Canada",                                        u"CA", u"+1"},
    {u"Cape Verde",                                    u"CV", u"+238"},
    {u"Cayman Islands",                                u"KY", u"+1345"},
    {u"Central African Republic",                      u"CF", u"+236"},
    {u"Chad",                                          u"TD", u"+235"},
    {u"Chile",                                         u"CL", u"+56"},
    {u"China",                                         u"CN", u"+86"},
    {u"Christmas Island",                              u"CX", u"+618"},
    {u"Cocos (Keeling) Islands",                       u"CC", u"+61"},
    {u"Colombia",                                      u"CO", u"+57"},
    {u"Comoros",                                       u"KM", u"+269"},
    {u"Congo",                                         u"CG", u"+242"},
    {u"Congo, the Democratic Republic of the",         u"CD", u"+243"},
    {u"Cook Islands",                                  u"CK", u"+682"},
    {u"Costa Rica",                                    u"CR", u"+506"},
    {u"Côte d'Ivoire",                                 u"CI", u"+225"},
    {u"Croatia",                                       u"HR", u"+385"},
    {u"Cuba",                                          u"CU", u"+53"},
    {u"Curaçao",                                       u"CW", u"+5999"},
    {u"Cyprus",                                        u"CY", u"+357"},
    {u"Czech Republic",                                u"CZ", u"+420"},
    {u"Denmark",                                       u"DK", u"+45"},
    {u"Djibouti",                                      u"DJ", u"+253"},
    {u"Dominica",                                      u"DM", u"+1767"},
    {u"Dominican Republic",                            u"DO", u"+1809"},
    {u"Ecuador",                                       u"EC", u"+593"},
    {u"Egypt",                                         u"EG", u"+20"},
    {u"El Salvador",                                   u"SV", u"+503"},
    {u"Equatorial Guinea",                             u"GQ", u"+240"},
    {u"Eritrea",                                       u"ER", u"+291"},
    {u"Estonia",                                       u"EE", u"+372"},
    {u"Ethiopia",                                      u"ET", u"+251"},
    {u"Falkland Islands (Malvinas)",                   u"FK", u"+500"},
    {u"Faroe Islands",                                 u"FO", u"+298"},
    {u"Fiji",                                          u"FJ", u"+679"},
    {u"Finland",                                       u"FI", u"+358"},
    {u"France",                                        u"FR", u"+33"},
    {u"French Guiana",                                 u"GF", u"+594"},
    {u"French Polynesia",                              u"PF", u"+689"},
    {u"French Southern Territories",                   u"TF", u"+262"},
    {u"Gabon",                                         u"GA", u"+241"},
    {u"Gambia",                                        u"GM", u"+220"},
    {u"Georgia",                                       u"GE", u"+995"},
    {u"Germany",                                       u"DE", u"+49"},
    {u"Ghana",                                         u"GH", u"+233"},
    {u"Gibraltar",                                     u"GI", u"+350"},
    {u"Greece",                                        u"GR", u"+30"},
    {u"Greenland",                                     u"GL", u"+299"},
    {u"Grenada",                                       u"GD", u"+1473"},
    {u"Guadeloupe",                                    u"GP", u"+590"},
    {u"Guam",                                          u"GU", u"+1671"},
    {u"Guatemala",                                     u"GT", u"+502"},
    {u"Guernsey",                                      u"GG", u"+44"},
    {u"Guinea",                                        u"GN", u"+224"},
    {u"Guinea-Bissau",                                 u"GW", u"+245"},
    {u"Guyana",                                        u"GY", u"+592"},
    {u"Haiti",                                         u"HT", u"+509"},
    {u"Heard Island and McDonald Islands",             u"HM", u"+672"},
    {u"Holy See (Vatican City State)",                 u"VA", u"+39"},
    {u"Honduras",                                      u"HN", u"+504"},
    {u"Hong Kong",                                     u"HK", u"+852"},
    {u"Hungary",                                       u"HU", u"+36"},
    {u"Iceland",                                       u"IS", u"+354"},
    {u"India",                                         u"IN", u"+91"},
    {u"Indonesia",                                     u"ID", u"+62"},
    {u"Iran, Islamic Republic of",                     u"IR", u"+98"},
    {u"Iraq",                                          u"IQ", u"+964"},
    {u"Ireland",                                       u"IE", u"+353"},
    {u"Isle of Man",                                   u"IM", u"+44"},
    {u"Israel",                                        u"IL", u"+972"},
    {u"Italy",                                         u"IT", u"+39"},
    {u"Jamaica",                                       u"JM", u"+1876"},
    {u"Japan",                                         u"JP", u"+81"},
    {u"Jersey",                                        u"JE", u"+44"},
    {u"Jordan",                                        u"JO", u"+962"},
    {u"Kazakhstan",                                    u"KZ", u"+7"},
    {u"Kenya",                                         u"KE", u"+254"},
    {u"Kiribati",                                      u"KI", u"+686"},
    {u"Korea, Democratic People's Republic of",        u"KP", u"+850"},
    {u"Korea, Republic of",                            u"KR", u"+82"},
    {u"Kuwait",                                        u"KW", u"+965"},
    {u"Kyrgyzstan",                                    u"KG", u"+996"},
    {u"Lao People's Democratic Republic",              u"LA", u"+856"},
    {u"Latvia",                                        u"LV", u"+371"},
    {u"Lebanon",                                       u"LB", u"+961"},
    {u"Lesotho",                                       u"LS", u"+266"},
    {u"Liberia",                                       u"LR", u"+231"},
    {u"Libya",                                         u"LY", u"+218"},
    {u"Liechtenstein",                                 u"LI", u"+423"},
    {u"Lithuania",                                     u"LT", u"+370"},
    {u"Luxembourg",                                    u"LU", u"+352"},
    {u"Macao",                                         u"MO", u"+853"},
    {u"Macedonia, the Former Yugoslav Republic of",    u"MK", u"+389"},
    {u"Madagascar",                                    u"MG", u"+261"},
    {u"Malawi",                                        u"MW", u"+265"},
    {u"Malaysia",                                      u"MY", u"+60"},
    {u"Maldives",                                      u"MV", u"+960"},
    {u"Mali",                                          u"ML", u"+223"},
    {u"Malta",                                         u"MT", u"+356"},
    {u"Marshall Islands",                              u"MH", u"+692"},
    {u"Martinique",                                    u"MQ", u"+596"},
    {u"Mauritania",                                    u"MR", u"+222"},
    {u"Mauritius",                                     u"MU", u"+230"},
    {u"Mayotte",                                       u"YT", u"+269"},
    {u"Mexico",                                        u"MX", u"+52"},
    {u"Micronesia, Federated States of",               u"FM", u"+691"},
    {u"Moldova, Republic of",                          u"MD", u"+373"},
    {u"Monaco",                                        u"MC", u"+377"},
    {u"Mongolia",                                      u"MN", u"+976"},
    {u"Montenegro",                                    u"ME", u"+382"},
    {u"Montserrat",                                    u"MS", u"+1664"},
    {u"Morocco",                                       u"MA", u"+212"},
    {u"Mozambique",                                    u"MZ", u"+258"},
    {u"Myanmar",                                       u"MM", u"+95"},
    {u"Namibia",                                       u"NA", u"+264"},
    {u"Nauru",                                         u"NR", u"+674"},
    {u"Nepal",                                         u"NP", u"+977"},
    {u"Netherlands",                                   u"NL", u"+31"},
    {u"New Caledonia",                                 u"NC", u"+687"},
    {u"New Zealand",                                   u"NZ", u"+64"},
    {u"Nicaragua",                                     u"NI", u"+505"},
    {u"Niger",                                         u"NE", u"+227"},
    {u"Nigeria",                                       u"NG", u"+234"},
    {u"Niue",                                          u"NU", u"+683"},
    {u"Norfolk Island",                                u"NF", u"+672"},
    {u"Northern Mariana Islands",                      u"MP", u"+1670"},
    {u"Norway",                                        u"NO", u"+47"},
    {u"Oman",                                          u"OM", u"+968"},
    {u"Pakistan",                                      u"PK", u"+92"},
    {u"Palau",                                         u"PW", u"+680"},
    {u"Palestine, State of",                           u"PS", u"+970"},
    {u"Panama",                                        u"PA", u"+507"},
    {u"Papua New Guinea",                              u"PG", u"+675"},
    {u"Paraguay",                                      u"PY", u"+595"},
    {u"Peru",                                          u"PE", u"+51"},
    {u"Philippines",                                   u"PH", u"+63"},
    {u"Pitcairn",                                      u"PN", u"+872"},
    {u"Poland",                                        u"PL", u"+48"},
    {u"Portugal",                                      u"PT", u"+351"},
    {u"Puerto Rico",                                   u"PR", u"+1787"},
    {u"Qatar",                                         u"QA", u"+974"},
    {u"Réunion",                                       u"RE", u"+262"},
    {u"Romania",                                       u"RO", u"+40"},
    {u"Russian Federation",                            u"RU", u"+7"},
    {u"Rwanda",                                        u"RW", u"+250"},
    {u"Saint Barthélemy",                              u"BL", u"+590"},
    {u"Saint Helena, Ascension and Tristan da Cunha",  u"SH", u"+290"},
    {u"Saint Kitts and Nevis",                         u"KN", u"+1869"},
    {u"Saint Lucia",                                   u"LC", u"+1758"},
    {u"Saint Martin (French Part)",                    u"MF", u"+590"},
    {u"Saint Pierre and Miquelon",                     u"PM", u"+508"},
    {u"Saint Vincent and the Grenadines",              u"VC", u"+1784"},
    {u"Samoa",                                         u"WS", u"+685"},
    {u"San Marino",                                    u"SM", u"+378"},
    {u"Sao Tome and Principe",                         u"ST", u"+239"},
    {u"Saudi Arabia",                                  u"SA", u"+966"},
    {u"Senegal",                                       u"SN", u"+221"},
    {u"Serbia",                                        u"RS", u"+381"},
    {u"Seychelles",                                    u"SC", u"+248"},
    {u"Sierra Leone",                                  u"SL", u"+232"},
    {u"Singapore",                                     u"SG", u"+65"},
    {u"Sint Maarten (Dutch Part)",                     u"SX", u"+1721"},
    {u"Slovakia",                                      u"SK", u"+421"},
    {u"Slovenia",                                      u"SI", u"+386"},
    {u"Solomon Islands",                               u"SB", u"+677"},
    {u"Somalia",                                       u"SO", u"+252"},
    {u"South Africa",                                  u"ZA", u"+27"},
    {u"South Georgia and the South Sandwich Islands",  u"GS", u"+500"},
    {u"South Sudan",                                   u"SS", u"+211"},
    {u"Spain",                                         u"ES", u"+34"},
    {u"Sri Lanka",                                     u"LK", u"+94"},
    {u"Sudan",                                         u"SD", u"+249"},
    {u"Suriname",                                      u"SR", u"+597"},
    {u"Svalbard and Jan Mayen",                        u"SJ", u"+47"},
    {u"Swaziland",                                     u"SZ", u"+268"},
    {u"Sweden",                                        u"SE", u"+46"},
    {u"Switzerland",                                   u"CH", u"+41"},
    {u"Syrian Arab Republic",                          u"SY", u"+963"},
    {u"Taiwan, Province of China",                     u"TW", u"+886"},
    {u"Tajikistan",                                    u"TJ", u"+992"},
    {u"Tanzania, United Republic of",                  u"TZ", u"+255"},
    {u"Thailand",                                      u"TH", u"+66"},
    {u"Timor-Leste",                                   u"TL", u"+670"},
    {u"Togo",                                          u"TG", u"+228"},
    {u"Tokelau",                                       u"TK", u"+690"},
    {u"Tonga",                                         u"TO", u"+676"},
    {u"Trinidad and Tobago",                           u"TT", u"+1868"},
    {u"Tunisia",                                       u"TN", u"+216"},
    {u"Turkey",                                        u"TR", u"+90"},
    {u"Turkmenistan",                                  u"TM", u"+993"},
    {u"Turks and Caicos Islands",                      u"TC", u"+1649"},
    {u"Tuvalu",                                        u"TV", u"+688"},
    {u"Uganda",                                        u"UG", u"+256"},
    {u"Ukraine",                                       u"UA", u"+380"},
    {u"United Arab Emirates",                          u"AE", u"+971"},
    {u"United Kingdom",                                u"GB", u"+44"},
    {u"United States",                                 u"US", u"+1"},
    {u"United States Minor Outlying Islands",          u"UM", u"+699"},
    {u"Uruguay",                                       u"UY", u"+598"},
    {u"Uzbekistan",                                    u"UZ", u"+998"},
    {u"Vanuatu",                                       u"VU", u"+678"},
    {u"Venezuela, Bolivarian Republic of",             u"VE", u"+58"},
    {u"Viet Nam",                                      u"VN", u"+84"},
    {u"Virgin Islands, British",                       u"VG", u"+1284"},
    {u"Virgin Islands, U.S.",                          u"VI", u"+1340"},
    {u"Wallis and Futuna",                             u"WF", u"+681"},
    {u"Western Sahara",                                u"EH", u"+212"},
    {u"Yemen",                                         u"YE", u"+967"},
    {u"Zambia",                                        u"ZM", u"+260"},
    {u"Zimbabwe",                                      u"ZW", u"+263"},
}};
// clang-format on

// Wraps a row's static text without copying it.
QString Text(QStringView text)
{
    return QString::fromRawData(text.data(), text.size());
}

// The language part of a row's name: what comes before the region, with the script
// kept so that the Cyrillic and Latin variants stay apart. The language list looks
// for the script after a space, the tag lookup anywhere in the name.
QString LanguageOfRow(QStringView name, bool scriptAfterSpace)
{
    static constexpr QStringView kCyrillic = u" (Cyrillic)";
    static constexpr QStringView kLatin = u" (Latin)";
    const auto mentions = [&](QStringView script) {
        return name.contains(scriptAfterSpace ? script : script.sliced(1));
    };

    const qsizetype region = name.indexOf(u" (");
    QString language = (region < 0 ? name : name.first(region)).toString();
    if (mentions(kCyrillic))
        language += kCyrillic;
    else if (mentions(kLatin))
        language += kLatin;
    return language;
}

void InsertFirst(QHash<QString, qsizetype> &index, const QString &key, qsizetype row)
{
    if (!index.contains(key))
        index.insert(key, row);
}

// Built on first use and then only read, from any thread. Formatting a large book
// looks a country up once per telephone number, so the lookups go through hashes
// that give the same first row a walk down the table would.
struct Indexes
{
    QStringList countryNames;
    QStringList languageNames;
    QHash<QString, qsizetype> countryByFoldedName;
    QHash<QString, qsizetype> countryByDiallingCode;
    QHash<QString, qsizetype> languageByFoldedName;
};

const Indexes &TheIndexes()
{
    static const Indexes indexes = [] {
        Indexes built;
        for (qsizetype i = 0; i < qsizetype(kCountries.size()); ++i) {
            const CountryRow &row = kCountries[i];
            built.countryNames.append(Text(row.name));
            InsertFirst(built.countryByFoldedName, Text(row.name).toCaseFolded(), i);
            InsertFirst(built.countryByDiallingCode, Text(row.diallingCode), i);
        }
        QSet<QString> seenLanguages;
        for (qsizetype i = 0; i < qsizetype(kLanguages.size()); ++i) {
            const LanguageRow &row = kLanguages[i];
            InsertFirst(built.languageByFoldedName, Text(row.name).toCaseFolded(), i);
            const QString language = LanguageOfRow(row.name, true);
            const QString folded = language.toCaseFolded();
            if (!seenLanguages.contains(folded)) {
                seenLanguages.insert(folded);
                built.languageNames.append(language);
            }
        }
        return built;
    }();
    return indexes;
}

const CountryRow *CountryNamed(const QString &country)
{
    const qsizetype row = TheIndexes().countryByFoldedName.value(country.toCaseFolded(), -1);
    return row < 0 ? nullptr : &kCountries[row];
}

} // namespace

std::span<const LanguageRow> LanguageTable()
{
    return kLanguages;
}

std::span<const CountryRow> CountryTable()
{
    return kCountries;
}

QStringList CountryNames()
{
    return TheIndexes().countryNames;
}

QStringList LanguageNames()
{
    return TheIndexes().languageNames;
}

QString LanguageNameOfTag(const QString &tag)
{
    // Every tag starts with the empty text; a card without a language must not
    // come back as the table's first one.
    if (tag.isEmpty())
        return {};
    for (const LanguageRow &row : kLanguages) {
        if (row.tag.startsWith(tag))
            return LanguageOfRow(row.name, false);
    }
    return {};
}

QString LanguageTagOfContact(const TContactData &contact)
{
    for (const QString *country :
         {&contact.WorkCountryRegion, &contact.HomeCountryRegion, &contact.OtherCountryRegion}) {
        if (country->isEmpty())
            continue;
        QString name = contact.Language;
        name += u" (";
        name += *country;
        name += u')';
        const qsizetype row = TheIndexes().languageByFoldedName.value(name.toCaseFolded(), -1);
        return row < 0 ? QString() : Text(kLanguages[row].tag);
    }
    return {};
}

QString TwoLetterCodeOfCountry(const QString &country)
{
    const CountryRow *row = CountryNamed(country);
    return row ? Text(row->twoLetterCode) : QString();
}

QString DiallingCodeOfCountry(const QString &country)
{
    const CountryRow *row = CountryNamed(country);
    return row ? Text(row->diallingCode) : QString();
}

QString CountryOfDiallingCode(const QString &code)
{
    const qsizetype row = TheIndexes().countryByDiallingCode.value(code, -1);
    return row < 0 ? QString() : Text(kCountries[row].name);
}

} // namespace cardolin
