// The bundle's Turtle files against the parameter table, read as a host reads
// them (sordi turns them into triples): every preset names known ports and sets
// values on their steps, and the control ports written at build time say what
// the table says as the compiler reads it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "effect/Parameters.h"

using brisendel::Parameters;

namespace {

const std::string LV2 = "http://lv2plug.in/ns/lv2core#";
const std::string PSET = "http://lv2plug.in/ns/ext/presets#";
const std::string RDF = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
const std::string RDFS = "http://www.w3.org/2000/01/rdf-schema#";
const std::string UNITS = "http://lv2plug.in/ns/extensions/units#";

// Subject -> predicate -> objects. An IRI is kept without its brackets, a
// blank node as _:name, a literal as its text without quotes or type.
using Graph = std::map<std::string, std::multimap<std::string, std::string>>;

// One term from the start of `line` at `at`; moves `at` past it.
std::string term(const std::string& line, std::size_t& at) {
  while (at < line.size() && line[at] == ' ') ++at;
  std::string text;
  if (at < line.size() && line[at] == '"') {
    for (++at; at < line.size() && line[at] != '"'; ++at) {
      if (line[at] == '\\' && at + 1 < line.size()) ++at;
      text += line[at];
    }
    ++at;
    while (at < line.size() && line[at] != ' ') ++at;  // ^^<type> or @language
  } else if (at < line.size() && line[at] == '<') {
    const std::size_t end = line.find('>', at);
    text = line.substr(at + 1, end - at - 1);
    at = end + 1;
  } else {
    const std::size_t end = line.find(' ', at);
    text = line.substr(at, end - at);
    at = end;
  }
  return text;
}

Graph readTurtle(const std::string& path) {
  Graph graph;
  const std::string command = std::string(SORDI) + " -i turtle -o ntriples '" + path + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return graph;
  }
  std::string line;
  for (int c; (c = std::fgetc(pipe)) != EOF;) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    std::size_t at = 0;
    const std::string subject = term(line, at);
    const std::string predicate = term(line, at);
    graph[subject].emplace(predicate, term(line, at));
    line.clear();
  }
  EXPECT_EQ(pclose(pipe), 0) << command << " failed (package sordi)";
  EXPECT_FALSE(graph.empty()) << path;
  return graph;
}

std::vector<std::string> objects(const Graph& graph, const std::string& subject,
                                 const std::string& predicate) {
  std::vector<std::string> found;
  const auto node = graph.find(subject);
  if (node == graph.end()) return found;
  const auto range = node->second.equal_range(predicate);
  for (auto it = range.first; it != range.second; ++it) found.push_back(it->second);
  return found;
}

std::string object(const Graph& graph, const std::string& subject, const std::string& predicate) {
  const std::vector<std::string> found = objects(graph, subject, predicate);
  EXPECT_EQ(found.size(), 1u) << subject << " " << predicate;
  return found.empty() ? std::string() : found.front();
}

// A number as Turtle writes it, or NaN when the text is not one.
double number(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0' ? value : std::nan("");
}

TEST(Lv2Turtle, PresetsSetKnownPortsToValuesOnTheirSteps) {
  const Graph graph = readTurtle(BRISENDEL_LV2_BUNDLE "presets.ttl");
  int presets = 0;
  for (const auto& [subject, statements] : graph) {
    if (objects(graph, subject, RDF + "type") != std::vector<std::string>{PSET + "Preset"})
      continue;
    ++presets;
    const std::vector<std::string> ports = objects(graph, subject, LV2 + "port");
    EXPECT_FALSE(ports.empty()) << subject;
    for (const std::string& port : ports) {
      const std::string symbol = object(graph, port, LV2 + "symbol");
      const std::string text = object(graph, port, PSET + "value");
      const int index = Parameters::findSymbol(symbol);
      if (index < 0) {
        ADD_FAILURE() << subject << ": no parameter has the symbol \"" << symbol << "\"";
        continue;
      }
      const Parameters::Info& p = Parameters::TABLE[index];
      const double value = number(text);
      if (!(value >= p.minimum && value <= p.maximum)) {
        ADD_FAILURE() << subject << ": " << symbol << " " << text << " outside " << p.minimum
                      << ".." << p.maximum;
      } else {
        EXPECT_EQ(p.plainOfStep(p.stepOfPlain(value)), value)
            << subject << ": " << symbol << " " << text << " is not on a step";
      }
    }
  }
  EXPECT_GT(presets, 0);
}

// The build writes the control ports from the table read as text; the effect
// reads it through the compiler. Both must find the same columns in the same
// order, and every kind must become the port properties hosts expect of it.
TEST(Lv2Turtle, ControlPortsSayWhatTheTableSays) {
  const Graph graph = readTurtle(BRISENDEL_LV2_BUNDLE "Brisendel.ttl");
  std::set<int> seen;
  for (const std::string& port : objects(graph, "urn:orlask:brisendel", LV2 + "port")) {
    const int index = Parameters::findSymbol(object(graph, port, LV2 + "symbol"));
    if (index < 0) continue;  // an audio or the latency port
    SCOPED_TRACE(Parameters::TABLE[index].symbol);
    EXPECT_TRUE(seen.insert(index).second) << "two ports";
    const Parameters::Info& p = Parameters::TABLE[index];
    EXPECT_EQ(number(object(graph, port, LV2 + "index")),
              Parameters::LV2_FIRST_CONTROL_PORT + index);
    EXPECT_EQ(object(graph, port, LV2 + "name"), p.name);
    EXPECT_EQ(object(graph, port, RDFS + "comment"), p.comment);
    EXPECT_EQ(number(object(graph, port, LV2 + "minimum")), p.minimum);
    EXPECT_EQ(number(object(graph, port, LV2 + "maximum")), p.maximum);
    EXPECT_EQ(number(object(graph, port, LV2 + "default")), p.defaultValue);
    const std::vector<std::string> units = objects(graph, port, UNITS + "unit");
    EXPECT_EQ(units, std::string(p.label) == "%" ? std::vector<std::string>{UNITS + "pc"}
                                                 : std::vector<std::string>{});

    const std::vector<std::string> found = objects(graph, port, LV2 + "portProperty");
    const std::set<std::string> properties(found.begin(), found.end());
    std::set<std::string> expected;
    if (p.kind == Parameters::Kind::kInteger || p.kind == Parameters::Kind::kChoice)
      expected.insert(LV2 + "integer");
    if (p.kind == Parameters::Kind::kChoice) expected.insert(LV2 + "enumeration");
    if (p.kind == Parameters::Kind::kToggle) expected.insert(LV2 + "toggled");
    EXPECT_EQ(properties, expected);

    std::set<std::pair<double, std::string>> points, steps;
    for (const std::string& point : objects(graph, port, LV2 + "scalePoint"))
      points.emplace(number(object(graph, point, RDF + "value")),
                     object(graph, point, RDFS + "label"));
    for (unsigned i = 0; p.kind == Parameters::Kind::kChoice && i < p.stepCount(); ++i)
      steps.emplace(p.plainOfStep(i), std::string(p.stepText(i)));
    EXPECT_EQ(points, steps);
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(Parameters::COUNT));
}

}  // namespace
