#pragma once

namespace engine {

// The fixed texts the engine shows. They are the program's own words and
// are kept exactly, spacing and punctuation included.

inline constexpr const char kConfirmText[] =
    "NOTE !!\n\nMicrosoft (r) Flight Simulator 2002 (c) & SquawkBox by Brannock must be closed,\n"
    "before you continue this operation !";
inline constexpr const char kInvalidSquawkBoxText[] = "Invalid SquawkBox directory !\n\nPlease select again !";
inline constexpr const char kInvalidFsText[] = "Invalid FS 2002 directory !\n\nPlease select again !";
inline constexpr const char kNoSelectionText[] = "Please select valid airlines !";
inline constexpr const char kNoConfigText[] = "Aircraft.cfg or Aircraft.csl not found !!";
inline constexpr const char kSuccessText[] =
    "Congratulation !!!!\n\nSelected airlines are successfully installed !!\n\nPlease restart FS2K & SquawkBox";

inline constexpr const char kSquawkBoxPathTooLongText[] =
    "The SquawkBox directory name is too long !\n\nPlease select a directory with a shorter path !";
inline constexpr const char kFsPathTooLongText[] =
    "The FS 2002 directory name is too long !\n\nPlease select a directory with a shorter path !";
inline constexpr const char kFinishedWithErrorsText[] = "The installation finished with errors !!";
inline constexpr const char kCheckFailuresText[] = "Please check the items listed above.";

// What the front ends show while earlier entries are taken out.
inline constexpr const char kWaitDeletingText[] = "Delete old entries ..... please wait !";

inline constexpr const char kAskCreateFolderText[] = "Der angegebene Pfad existiert nicht !\n\nSoll er angelegt werden ?";
inline constexpr const char kCannotCreateFolderText[] = "Der angegeben Pfad konnte nicht erstellt werden !!";

inline constexpr const char kRemovedText[] =
    "All entries installed by Quorvane have been removed !!\n\nPlease restart FS2K & SquawkBox";
inline constexpr const char kRemoveFinishedWithErrorsText[] = "The removal finished with errors !!";
inline constexpr const char kRestoredText[] =
    "The aircraft configuration and CSL_ICAO.csv are back as they were before the last run !!\n\n"
    "Please restart FS2K & SquawkBox";
inline constexpr const char kRestoredOriginalText[] =
    "The aircraft configuration and CSL_ICAO.csv are back as they were before Quorvane first changed them !!\n\n"
    "Please restart FS2K & SquawkBox";
inline constexpr const char kWaitRestoringText[] = "Restoring the files ..... please wait !";
inline constexpr const char kRestoreFinishedWithErrorsText[] = "The restore finished with errors !!";
inline constexpr const char kStoppedText[] =
    "Quorvane ran out of memory, and the command stopped.\n\nNothing has been changed.";
inline constexpr const char kStoppedAfterChangeText[] =
    "Quorvane ran out of memory, and the command stopped.\n\n"
    "The aircraft configuration and CSL_ICAO.csv may be out of step; "
    "Quorvane puts them back as they were at its next start.";
inline constexpr const char kNoScratchCopyText[] =
    "The files could not be copied for the preview.\n\nNothing has been changed.";

}  // namespace engine
