#include "mireb/MRMessageObject.h"

std::shared_ptr<MRImageObject> MRImageObject::object() {
    return std::make_shared<MRImageObject>();
}

std::shared_ptr<MRMessageObject> MRMessageObject::message() {
    return std::make_shared<MRMessageObject>();
}
