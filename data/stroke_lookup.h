// The stroke lookup: the stroke count of a text from table fantizi, by substring match, the first
// row in table order deciding, 0 when no row holds the text.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "data/data_set.h"

namespace quenvil {

class StrokeLookup {
  public:
    explicit StrokeLookup(DataSet& dataSet) : dataSet_(dataSet) {}

    // Reads fantizi once and maps every single GBK character to the count of the first row that
    // holds it, so that single characters are answered without a statement.
    void buildIndex(Connection& connection);
    void dropIndex() { index_.clear(); }
    bool indexed() const { return !index_.empty(); }

    // Stroke count of a GBK text: one double-byte character is answered from the index; anything
    // else (several characters, an empty text, bytes that are not one GBK character) by the
    // statement. The text is matched literally: quotes, '%' and '_' are ordinary characters.
    int32_t strokes(std::string_view gbk) {
        if (gbk.size() == 2 && !index_.empty()) {
            const int32_t v = index_[(static_cast<unsigned char>(gbk[0]) << 8) |
                                     static_cast<unsigned char>(gbk[1])];
            if (v != kNotOneCharacter) return v;
        }
        return strokesByStatement(gbk);
    }

    // Always asks the database, through the shared data set.
    int32_t strokesByStatement(std::string_view gbk);

  private:
    static constexpr int32_t kNotOneCharacter = INT32_MIN;
    DataSet& dataSet_;
    std::vector<int32_t> index_;  // by the two bytes of a unit
};

}  // namespace quenvil
