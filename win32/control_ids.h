#pragma once

namespace vorlund::win32 {

// The child windows' IDs, fixed so that tools (and the tests) find each control from outside.
enum ControlId : int {
    Label1_0Id = 100,
    Label1_1Id,
    Dir1Id,
    Drive1Id,
    Drive2Id,
    Dir2Id,
    Text1Id,
    Text2Id,
    FailureLineId,
};

} // namespace vorlund::win32
