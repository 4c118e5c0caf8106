#pragma once
// The platform side of the single-instance guard: taking one of the places of
// the shared count and giving it back.

#include <QString>

#include <memory>

namespace clone_detail {

// A place held in the shared count; destroying it gives the place back.
class InstancePlace {
public:
    virtual ~InstancePlace() = default;
};

enum class PlaceResult { Taken, AllTaken, Unavailable };

struct PlaceAttempt {
    PlaceResult result = PlaceResult::Unavailable;
    std::unique_ptr<InstancePlace> place; // set when Taken
};

// Tries to take one of maxInstance places of the count named blockName.
// Unavailable: the count itself could not be created or reached.
PlaceAttempt TakeInstancePlace(const QString& blockName, int maxInstance);

} // namespace clone_detail
