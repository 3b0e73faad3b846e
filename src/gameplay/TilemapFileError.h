#pragma once
// The one way a tile-map file is refused: a message that says where in the file (or in a tile
// set file it names) and what is wrong. The tile map reports it with the file's path.

#include <stdexcept>

class TilemapFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
