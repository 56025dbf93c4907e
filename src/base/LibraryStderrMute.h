#pragma once
// libpng's and libtiff's default handlers print straight to the process's
// stderr ("libpng error: Read Error", "TIFFReadDirectory: ..."), past Qt's
// message handler. While a picture is decoded, that output goes nowhere:
// the reader that failed says what it means in German, naming the file.
// Guards nest and may live on several threads at once; the first one mutes,
// the last one restores. FALTARILLON_DEBUG=1 in the environment keeps stderr.

class LibraryStderrMute {
public:
    LibraryStderrMute();
    ~LibraryStderrMute();
    LibraryStderrMute(const LibraryStderrMute&) = delete;
    LibraryStderrMute& operator=(const LibraryStderrMute&) = delete;

private:
    bool m_active = false;
};
