#pragma once
// The groups of one entity, up to the group code 0 that starts the next; colour groups set the pen on the way.

#include <cstdint>
#include <string_view>

#include "files/dxf_groups.h"
#include "geometry/figure.h"

namespace varnholt {

// The pen of a colour number (group 62): colour 1 is pen 3, colour 3 pen 4, every other colour pen 0.
int32_t PenOfColour(int32_t colour);

class DxfEntityInput {
 public:
  DxfEntityInput(DxfGroupReader& groups, int32_t& pen, tfigura& figure)
      : groups_(groups), pen_(pen), figure_(figure) {}

  // Reads the entity's next group; false at its end (the group code 0 is put back) or at the end of the file.
  bool NextGroup();
  // At the end of the entity: takes the following sub-entity (VERTEX, SEQEND) when it has this name.
  bool TakeSubEntity(std::string_view name);
  // Reads over the rest of the entity.
  void SkipRest();
  // True when the file ended inside the entity.
  bool truncated() const { return truncated_; }

  int32_t code() const { return groups_.code(); }
  double Real() const { return groups_.Real(); }
  int32_t Integer() const { return groups_.Integer(); }

 private:
  DxfGroupReader& groups_;
  int32_t& pen_;
  tfigura& figure_;
  bool truncated_ = false;
};

}  // namespace varnholt
