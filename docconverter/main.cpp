#include "docconverter/CDocConverterApp.h"

int main(int argc, char** argv)
{
    folyant::docconverter::CDocConverterApp application;
    return application.InitInstance(argc, argv);
}
