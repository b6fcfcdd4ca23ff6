#include "errors/Failure.hpp"

#include <exception>
#include <new>

namespace almanoria {

void RaiseOverflow() {
    throw Failure(ErrorNumber::Overflow, "Overflow");
}

void RaiseSubscriptOutOfRange() {
    throw Failure(ErrorNumber::SubscriptOutOfRange, "Subscript out of range");
}

void RaiseTypeMismatch() {
    throw Failure(ErrorNumber::TypeMismatch, "Type mismatch");
}

void RaiseInvalidUseOfNull() {
    throw Failure(ErrorNumber::InvalidUseOfNull, "Invalid use of Null");
}

Failure CurrentFailure() {
    try {
        throw;
    } catch (const Failure& failure) {
        return failure;
    } catch (const std::bad_alloc&) {
        return Failure(ErrorNumber::OutOfMemory, "Out of memory");
    } catch (const std::exception& other) {
        return Failure(ErrorNumber::InternalError, other.what());
    } catch (...) {
        return Failure(ErrorNumber::InternalError, "Internal error");
    }
}

}  // namespace almanoria
