// Qt's own texts (the colour chooser, the message box's button, the edit field's
// context menu) in Spanish, like the rest of the program, whatever the system's language.
#pragma once
#include <QString>

// Installs Qt's Spanish translations into the application, once. Returns the file it
// could not load, or "" when they are in place.
QString InstallSpanishTranslations();
