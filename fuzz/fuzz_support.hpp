#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "byte_order.hpp"
#include "fail.hpp"

// What the fuzz targets share. Each target feeds one input to the real stage code of a
// program; that code ends a refused input through `fail`, which in the fuzz build throws
// `fail_exit` back to the target instead of ending the process.
//
// The stages open their files by fixed names in the working directory, so every target runs
// in a scratch directory of its own, made (and entered) at start-up and removed at exit. Its
// start-up also turns the paths on its command line into absolute ones, so that corpus
// folders, inputs and the artifact prefix keep meaning what they meant where the target was
// started; without an artifact prefix findings go to that starting directory.

/// Makes and enters the scratch directory and fixes up the command line; call it from
/// LLVMFuzzerInitialize with its arguments.
void enter_scratch_directory(int* argc, char*** argv);

/// Replaces `name` in the scratch directory with `bytes`; aborts when that fails, since a
/// target that cannot lay out its input tests nothing.
void write_scratch_file(const char* name, std::span<const unsigned char> bytes);

/// Removes `name` from the scratch directory, if it is there. Outputs are removed before each
/// input: on some file systems (ext4) closing a file that was cut to zero length and written
/// again waits for the disk, which would slow every input down to milliseconds.
void remove_scratch_file(const char* name);

/// Stands for the end of a process around one input. A program that fails leaves the
/// streams it has open to the process end, which closes them; a fuzz target goes on, so the
/// streams that the stage code opens during an input and leaves open are closed when the
/// scope ends. (Every target links with fopen and fclose wrapped to keep count.)
struct input_scope {
    input_scope();
    ~input_scope();
    input_scope(const input_scope&) = delete;
    input_scope& operator=(const input_scope&) = delete;
};

/// Runs `stage`; a `fail` inside it ends the call, as it would end the program. True when
/// the stage ran to its end.
template <typename stage_function>
bool run_until_failure(stage_function stage) {
    try {
        stage();
        return true;
    } catch (const fail_exit&) {
        return false;
    }
}

/// A cursor over the input of a target that splits its input into parts: each `take_*`
/// returns what is left when less is left than asked for.
struct input_parts {
    const unsigned char* data;
    std::size_t size;
};

std::int32_t take_part_i32(input_parts& input);
std::span<const unsigned char> take_part(input_parts& input, std::size_t size);
std::span<const unsigned char> take_rest(input_parts& input);

/// Appends the little-endian length of `part` and `part` itself: the seeds' side of
/// `take_length_prefixed`.
void put_length_prefixed(byte_buffer& out, const byte_buffer& part);

/// A part stored as a little-endian u32 length and that many bytes (fewer when the input
/// ends first).
std::span<const unsigned char> take_length_prefixed(input_parts& input);
