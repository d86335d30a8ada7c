#pragma once

// The suite's setup support library: where the installation's printer
// description goes and where the user's application data lives. Each
// function fills a caller-owned buffer and returns 1 on success, -1 on
// failure.

#define SETUPKIT_EXPORT __attribute__((visibility("default")))

extern "C" {

// The folder of the suite's printer description. The buffer must hold at
// least 255 bytes; a folder that does not fit gives -1.
SETUPKIT_EXPORT int GetPrinterDirectory(char* buffer);

// The user's application-data folder ($XDG_DATA_HOME, else ~/.local/share).
// The buffer must hold at least 1024 bytes; on failure it holds "".
SETUPKIT_EXPORT int GetWordDirectory(char* buffer);
}

class SETUPKIT_EXPORT CSetupkit {
public:
    CSetupkit();
    CSetupkit& operator=(const CSetupkit& other);
};
