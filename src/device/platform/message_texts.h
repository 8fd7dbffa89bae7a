#pragma once

#include <QString>
#include <QStringList>

// Every text the program shows in a message box, a confirmation or a hint under a field, exactly as
// the amplifier's users know them, in one place: the check that the windows' font draws every
// character the program shows reads them here.
namespace zx::texts {

inline const QString kNoPort = QStringLiteral("No port or in use.");
inline const QString kOvertime = QStringLiteral("overtime,please try again.");
inline const QString kInterrupt = QStringLiteral("interrupt.");
// A recall or a file save that got no block; the comma is the full-width U+FF0C.
inline const QString kPresetOvertime = QStringLiteral("overtime\uFF0Ctry again.");
inline const QString kDamaged = QStringLiteral("File damaged.");
inline const QString kCannotOpen = QStringLiteral("Cannot open file.");
inline const QString kCannotSave = QStringLiteral("Cannot save file.");

// The confirmations: caption and question.
inline const QString kStoreCaption = QStringLiteral("ZEPHRANOX PC Software");
inline const QString kStoreQuestion = QStringLiteral("Do you want to save this group?");
inline const QString kResetCaption = QStringLiteral("2Z4");
inline const QString kResetQuestion = QStringLiteral("Do you want to reset all filters?");

// Under the preset-name field, for a key it refuses.
inline const QString kNameTooLong = QStringLiteral("A name holds at most 19 characters.");
inline const QString kNameCharacter = QStringLiteral("This character cannot be stored in a name.");

inline QStringList All() {
    return {kNoPort,        kOvertime,    kInterrupt,    kPresetOvertime, kDamaged,
            kCannotOpen,    kCannotSave,  kStoreCaption, kStoreQuestion,  kResetCaption,
            kResetQuestion, kNameTooLong, kNameCharacter};
}

} // namespace zx::texts
