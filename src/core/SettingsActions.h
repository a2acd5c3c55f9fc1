#pragma once

#include <QString>

class QObject;

// What the settings screens of both idioms do, with the alerts that tell how it went.
namespace SettingsActions {

// Alert tags the screens and their tests look for.
inline constexpr int PastEventsRefusedTag = -19;
inline constexpr int AllEventsRefusedTag = -18;
inline constexpr int PastEventsClearedTag = -21;
inline constexpr int ClearAllQuestionTag = -22;

// An alert with an "OK" button.
void alert(const QString& title, const QString& message, int tag = 0);
// Forgets the viewing history (saved at once), posts "historyCleared", says "Cleared"; when
// the database cannot be written, says so instead and keeps the history.
void clearHistory(QObject* sender);
// Empties the picture cache on disk and the show and programme caches, then says "Cleared".
void clearCaches();
// The product's name, version and copyright.
void showAbout();
// With calendar access: removes the past reminders, or asks and then removes them all.
void clearPastEvents(QObject* context);
void clearAllEvents(QObject* context);

} // namespace SettingsActions
