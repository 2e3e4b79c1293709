#pragma once
// The one argument reader of the command-line tools. It splits a command line into options, their
// values and positionals, in the order given; what each tool makes of them (repeats, unknown
// options, too many positionals) stays with the tool, since their answers differ.
#include <optional>
#include <vector>

namespace tev {

enum class ArgumentKind { Positional, Switch, Valued };

template <class String>
struct Argument {
  ArgumentKind kind;
  String text;                  // the positional, or the option's name
  std::optional<String> value;  // a valued option's value; missing only for the last argument
};

// kindOf(text) says what an argument is. A valued option takes the next argument whole, even one
// that looks like an option, so that a file may have any name.
template <class String, class KindOf>
std::vector<Argument<String>> ReadArguments(const std::vector<String>& args, KindOf kindOf) {
  std::vector<Argument<String>> read;
  for (std::size_t i = 0; i < args.size(); ++i) {
    Argument<String> argument{kindOf(args[i]), args[i], std::nullopt};
    if (argument.kind == ArgumentKind::Valued && i + 1 < args.size()) argument.value = args[++i];
    read.push_back(std::move(argument));
  }
  return read;
}

}  // namespace tev
