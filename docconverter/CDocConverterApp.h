#pragma once

namespace folyant::docconverter {

// zevConverter: without arguments the dialog; with a document and a PDF name
// the start command unattended, its messages on standard error.
class CDocConverterApp {
public:
    int InitInstance(int argc, char** argv);
};

} // namespace folyant::docconverter
