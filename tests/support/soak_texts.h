// Texts a random session types into the boxes.
#pragma once

#include <string>
#include <vector>

namespace maclab::testing {

// Typed texts a user might put into any box: empty, huge, negative, letters,
// odd spacing, numbers at and beyond every limit, and the names that mean
// something in another box.
inline const std::vector<std::string>& JunkTexts() {
    static const std::vector<std::string> texts = {"",
                                                   " ",
                                                   "-5",
                                                   "-1e308",
                                                   "1e308",
                                                   "1e999",
                                                   "abc",
                                                   "nan",
                                                   "inf",
                                                   "0x1F",
                                                   "0",
                                                   "1",
                                                   "1.5",
                                                   "1.99",
                                                   "2",
                                                   "2.5",
                                                   "6.5",
                                                   "7.5",
                                                   "24",
                                                   "24.4",
                                                   "25",
                                                   "1000000",
                                                   "1e6",
                                                   "3",
                                                   "2.9",
                                                   "10000",
                                                   "10001",
                                                   "0.0001",
                                                   "\t12",
                                                   "1 2",
                                                   "+5",
                                                   ".5",
                                                   "5.",
                                                   "1e",
                                                   "1d2",
                                                   "-0",
                                                   "ALOHA",
                                                   "Slotted ALOHA",
                                                   "CSMA",
                                                   "CSMA/CD",
                                                   "CSMA/CD + R",
                                                   "RTS/CTS",
                                                   "Token Passing",
                                                   "Polling",
                                                   "Bus",
                                                   "Star",
                                                   "Ring",
                                                   "Space",
                                                   "Wide Space",
                                                   "star",
                                                   "Wide  Space",
                                                   " 7",
                                                   "2.0",
                                                   "0.01",
                                                   std::string(5000, '9'),
                                                   std::string(3000, 'x'),
                                                   "-" + std::string(400, '7')};
    return texts;
}

} // namespace maclab::testing
