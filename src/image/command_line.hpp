// Arguments of a command line given as one text, the way the program's start-up reads it
// where the system does not split it.
#pragma once

#include <string>
#include <string_view>

namespace kavelin::image {

// The n-th argument (from 1) of a command-line tail (the line less the program's name and
// the blanks after it), or empty when there are fewer. Arguments end at one space, so a
// run of spaces yields empty arguments. An argument opening with a double quote runs to
// the next double quote, and the character after that quote is skipped as the separator;
// an unclosed quote takes the rest of the line.
std::string GetCommandLineArg(std::string_view tail, int n);

}  // namespace kavelin::image
