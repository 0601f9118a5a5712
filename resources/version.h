// The program's name and version, used by the window caption, the About box and the
// version record of the resources. Preprocessor constants only (the resource compiler reads it).
#ifndef NORAVEL_RESOURCES_VERSION_H
#define NORAVEL_RESOURCES_VERSION_H

#define NORAVEL_PROGRAM_NAME "Noravel"
#define NORAVEL_VERSION_MAJOR 3
#define NORAVEL_VERSION_MINOR 2
#define NORAVEL_VERSION_TEXT "3.2"
#define NORAVEL_CAPTION "Noravel ver 3.2"
#define NORAVEL_CAPTION_W L"Noravel ver 3.2"
#define NORAVEL_YEARS "2004-2026"
#define NORAVEL_PUBLISHER "Noravel project"
#define NORAVEL_DESCRIPTION "Noravel Quran reader"
// Where users reach the project (generic project addresses, no person's name).
#define NORAVEL_CONTACT "contact@noravel.example.org"
#define NORAVEL_HOME_PAGE "https://noravel.example.org/"
#define NORAVEL_COPYRIGHT "Noravel project. Scripture data: quran-json (CC-BY-4.0)"

#endif
