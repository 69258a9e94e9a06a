#pragma once
// What the stores, the file formats and the writer share: the values one write carries, and the
// failure that only means "not now".

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Named texts written together, each store in one edit: a release carries CalcLeft and CalcTop.
// The names are distinct; their order is the order new entries are added in.
using SettingValues = std::vector<std::pair<std::string, std::string>>;

// A store failed for a passing reason: its file kept changing while it was read, or another
// writer held its lock. Unlike any other failure this says nothing about what is stored, so a
// read that ends so is not a missing value, and a write that ends so is worth trying again.
class StoreBusy : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
