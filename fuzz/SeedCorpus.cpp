// Writes the fuzz run's seed corpus: small Intel HEX files of every record shape the walk
// must handle, with data around both flash windows' edges.
//
//   fuzz_seed_corpus <folder>

#include "tools/hex/HexFileWriter.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

namespace
{
using testhex::randomBytes;

testhex::HexImage seedImage (std::mt19937& random)
{
    testhex::HexImage image;
    image[0x00000040] = randomBytes (random, 20);     // before any extended address
    image[0x1CFFFFF0] = randomBytes (random, 16);     // ends where the window starts
    image[0x1D000000] = randomBytes (random, 120);
    image[0x1D00FFE0] = randomBytes (random, 64);     // across a 64 KiB boundary
    image[0x1D0FFFC0] = randomBytes (random, 64);     // up to and past the 1024 KB limit
    image[0x1D1FFFE0] = randomBytes (random, 32);     // up to the 2048 KB limit
    image[0x1FC00000] = randomBytes (random, 24);     // boot flash
    return image;
}
}

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: fuzz_seed_corpus <folder>\n";
        return 2;
    }

    std::mt19937 random (2026);
    int written = 0;
    for (int recordLength : { 1, 4, 5, 13, 16, 18, 32, 49 })
    {
        for (int style = 0; style < 2; ++style)
        {
            testhex::HexFileWriter hex;
            hex.recordLength = recordLength;
            hex.crlf = style == 1;
            hex.lowerCase = style == 1;
            const auto text = hex.write (seedImage (random));

            const auto path = std::filesystem::path (argv[1]) / ("seed-" + std::to_string (++written) + ".hex");
            std::ofstream file (path, std::ios::binary);
            file << text;
            if (! file)
            {
                std::cerr << "cannot write " << path.string() << "\n";
                return 1;
            }
        }
    }
    return 0;
}
