#include "updater/DeviceCatalogue.h"
#include "updater/BoardTables.h"

#include <utility>

namespace
{
    struct CatalogueEntry
    {
        const char* boardName;
        const char* fileName;
    };

    // The remote controls have no firmware yet; the text names no file and must stay as it is.
    const char* const remotePlaceholder = " ### TODO: Add hex when ready ### ";

    const std::vector<std::vector<CatalogueEntry>>& catalogueSource()
    {
        static const std::vector<std::vector<CatalogueEntry>> source =
        {
            {
                { "Monitor Interface", "MonInterfacePIC.hex" },
                { "Monitor Master", "MonCentralProcessorPIC.hex" },
                { "Monitor AudioBoard", "MonAudioBoardPIC.hex" },
                { "Monitor V518 AudioBoard", "MonV518AudioBoardPIC.hex" },
                { "Channel Master 1-8", "CentralProcessorPIC.hex" },
                { "Channel Master 9-16", "CentralProcessorPIC.hex" },
                { "Channel Master 17-24", "CentralProcessorPIC.hex" },
                { "Channel Master FPGA 1-8", "CentralProcessorFPGA.bin" },
                { "Channel Master FPGA 9-16", "CentralProcessorFPGA.bin" },
                { "Channel Master FPGA 17-24", "CentralProcessorFPGA.bin" },
                { "Channel AudioBoard 1-4", "AudioBoardPIC.hex" },
                { "Channel AudioBoard 5-8", "AudioBoardPIC.hex" },
                { "Channel AudioBoard 9-12", "AudioBoardPIC.hex" },
                { "Channel AudioBoard 13-16", "AudioBoardPIC.hex" },
                { "Channel AudioBoard 17-20", "AudioBoardPIC.hex" },
                { "Channel AudioBoard 21-24", "AudioBoardPIC.hex" },
                { "Channel Meter 1-8", "MetersPIC.hex" },
                { "Channel Meter 9-16", "MetersPIC.hex" },
                { "Channel Meter 17-24", "MetersPIC.hex" },
                { "Master Faders [Manual]", "MasterFadersPIC.hex" },
                { "Channel Faders 1-8", "AutChannelFadersPIC.hex" },
                { "Channel Faders 9-16", "AutChannelFadersPIC.hex" },
                { "Channel Faders 17-24", "AutChannelFadersPIC.hex" },
                { "Master Faders [Mot]", "AutMasterFadersPIC.hex" }
            },
            {
                { "Interface Processor", "V518TRXInterfacePIC.hex" },
                { "Digital Board", "V518TRXDigitalPIC.hex" },
                { "Digital Board FPGA", "V518TRXDigitalFPGA.bin" },
                { "Digital ADAT Board", "V518TRXDigitalADATPIC.hex" },
                { "Digital ADAT Board FPGA", "V518TRXDigitalADATFPGA.bin" }
            },
            { { "Interface Processor", "KRD16InterfacePIC.hex" } },
            { { "Interface Processor", "TX640InterfacePIC.hex" } },
            { { "Interface Processor", "KRD24InterfacePIC.hex" } },
            { { "Interface Processor", remotePlaceholder } },
            { { "Interface Processor", remotePlaceholder } },
            { { "Interface Processor", remotePlaceholder } },
            { { "Interface Processor", remotePlaceholder } }
        };
        return source;
    }
}

DeviceCatalogue buildDeviceCatalogue()
{
    const auto& source = catalogueSource();

    DeviceCatalogue catalogue;
    catalogue.boardNames.reserve (deviceTypeCount);
    catalogue.firmwareFiles.reserve (deviceTypeCount);

    for (int type = 0; type < deviceTypeCount; ++type)
    {
        juce::StringArray names, files;
        for (const auto& entry : source[(size_t) type])
        {
            names.add (juce::String::fromUTF8 (entry.boardName));
            files.add (juce::String (deviceTypeFolders[type]) + "/" + juce::String::fromUTF8 (entry.fileName));
        }
        catalogue.boardNames.push_back (std::move (names));
        catalogue.firmwareFiles.push_back (std::move (files));
    }
    return catalogue;
}

std::vector<std::string> toStdStringVector (const juce::StringArray& strings)
{
    std::vector<std::string> result;
    result.reserve ((size_t) strings.size());
    for (const auto& s : strings)
        result.push_back (s.toStdString());
    return result;
}

StdDeviceCatalogue toStdDeviceCatalogue()
{
    const auto catalogue = buildDeviceCatalogue();

    StdDeviceCatalogue result;
    for (const auto& names : catalogue.boardNames)
        result.boardNames.push_back (toStdStringVector (names));
    for (const auto& files : catalogue.firmwareFiles)
        result.firmwareFiles.push_back (toStdStringVector (files));
    return result;
}
