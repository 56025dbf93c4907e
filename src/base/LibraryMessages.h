#pragma once
// The image libraries and Qt's plugins report in English on stderr ("libpng
// error: Read Error", "qt.gui.imageio.jpeg: Corrupt JPEG data",
// "TIFFReadDirectory: ..."), often twice for one picture. The reader that
// failed says what it means in German, naming the file, so their own lines
// are dropped: all of Qt's messages but the fatal ones. FALTARILLON_DEBUG=1
// in the environment lets them through.

// Installs the filter for the whole process (the program, the CLI).
void silenceLibraryMessages();

// How many times a decoder said that a picture it still returned is damaged
// (a JPEG cut short decodes with its missing part grey). Counted also when
// the messages pass through.
int damagedPictureComplaints();
