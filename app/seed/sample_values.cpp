#include "app/seed/sample_values.h"

#include <cctype>
#include <cstdio>

#include "runtime/core/values/dates.h"

namespace marlock {

uint64_t SampleValues::next() {
  // splitmix64: small, fast and the same on every machine.
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint32_t SampleValues::below(uint32_t n) { return n ? static_cast<uint32_t>(next() % n) : 0; }

int32_t SampleValues::between(int32_t low, int32_t high) {
  return low + static_cast<int32_t>(below(static_cast<uint32_t>(high - low + 1)));
}

bool SampleValues::chance(int percent) { return below(100) < static_cast<uint32_t>(percent); }

const std::vector<const char*>& SampleValues::first_names() {
  static const std::vector<const char*> names = {
      "Jane",  "John",  "Mary",  "Peter", "Sarah", "David", "Emma",  "James", "Olivia", "Noah",  "Grace",
      "Liam",  "Chloe", "Jack",  "Ruby",  "Oscar", "Zoe",   "Henry", "Ella",  "Lucas",  "Mia",   "Ethan",
      "Ava",   "Leo",   "Isla",  "Max",   "Lily",  "Sam",   "Amy",   "Tom",   "Kate",   "Ben",   "Anna",
      "Paul",  "Rose",  "Mark",  "Lucy",  "Adam",  "Claire", "Ryan", "Hannah", "Sean", "Megan", "Alex",
      "Nina",  "Owen",  "Tara",  "Hugo",  "Ivy",   "Eli"};
  return names;
}

const std::vector<const char*>& SampleValues::last_names() {
  static const std::vector<const char*> names = {
      "Smith",  "Jones",  "Brown",  "Wilson", "Taylor", "Martin", "Harper", "White",  "Walker", "Hall",
      "Young",  "King",   "Wright", "Scott",  "Green",  "Baker",  "Adams",  "Nelson", "Hill",   "Moore",
      "Clarke", "Kelly",  "Ward",   "Cooper", "Reid",   "Bell",   "Murphy", "Price",  "Wood",   "Lee",
      "Evans",  "Hughes", "Turner", "Hunt",   "Ross",   "Mills",  "Knight", "Lane",   "Fox",    "Gray",
      "Watson", "Dixon",  "Shaw",   "Burke",  "Lloyd",  "Marsh",  "Quinn",  "Ryan",   "Stone",  "Webb",
      "Abbott", "Barker", "Carter", "Dawson", "Ellis",  "Finch",  "Gibson", "Hayes",  "Irwin",  "Jensen"};
  return names;
}

const std::vector<const char*>& SampleValues::suburbs() {
  static const std::vector<const char*> names = {
      "Newtown",     "Glebe",      "Paddington", "Surry Hills", "Balmain",   "Leichhardt", "Marrickville",
      "Randwick",    "Coogee",     "Bondi",      "Manly",       "Mosman",    "Chatswood",  "Parramatta",
      "Ryde",        "Epping",     "Hornsby",    "Penrith",     "Liverpool", "Bankstown",  "Strathfield",
      "Ashfield",    "Burwood",    "Kogarah",    "Hurstville",  "Cronulla",  "Miranda",    "Sutherland",
      "Fitzroy",     "Carlton",    "Brunswick",  "Richmond",    "St Kilda",  "Footscray",  "Hawthorn",
      "Toorak",      "Kew",        "Northcote",  "Preston",     "Coburg",    "Fremantle",  "Subiaco",
      "Cottesloe",   "Glenelg",    "Norwood",    "Unley",       "Toowong",   "Paddington", "New Farm",
      "Fortitude Valley"};
  return names;
}

const std::vector<const char*>& SampleValues::goods() {
  static const std::vector<const char*> names = {
      "Garden hose",     "Desk lamp",       "Office chair",   "Printer paper", "Toner cartridge", "Stapler",
      "Filing cabinet",  "Whiteboard",      "Extension lead", "Kettle",        "Coffee beans",    "Tea towels",
      "First aid kit",   "Safety glasses",  "Work gloves",    "Ladder",        "Paint brushes",   "Drop sheet",
      "Hand soap",       "Paper towels",    "Bin liners",     "Mop and bucket", "Light globes",   "Batteries",
      "USB cable",       "Keyboard",        "Mouse",          "Monitor stand", "Headset",         "Notebooks"};
  return names;
}

const std::vector<const char*>& SampleValues::us_cities() {
  static const std::vector<const char*> names = {
      "Springfield IL", "Madison WI",   "Portland OR",  "Austin TX",    "Boulder CO",  "Salem MA",
      "Dayton OH",      "Albany NY",    "Tucson AZ",    "Raleigh NC",   "Eugene OR",   "Fresno CA",
      "Omaha NE",       "Boise ID",     "Reno NV",      "Des Moines IA", "Akron OH",   "Lansing MI",
      "Trenton NJ",     "Savannah GA"};
  return names;
}

std::string SampleValues::customer_name(uint32_t i) {
  const auto& first = first_names();
  const auto& last = last_names();
  uint32_t pairs = static_cast<uint32_t>(first.size() * last.size());
  // A step prime to the number of pairs visits every pair once per round,
  // so neighbouring numbers get unrelated names.
  uint32_t pair = static_cast<uint32_t>((uint64_t{i} * 7919u) % pairs);
  uint32_t round = i / pairs;
  std::string name = std::string(last[pair % last.size()]) + ", " + first[pair / last.size()];
  if (round > 0) name += " " + std::to_string(round + 1);
  return name;
}

std::string SampleValues::street() {
  static const std::vector<const char*> streets = {"Wattle", "King",   "George", "Church", "High",   "Park",
                                                   "Station", "Bridge", "Queen",  "Victoria", "Ocean", "Hill"};
  static const std::vector<const char*> kinds = {"Street", "Road", "Avenue", "Lane", "Parade"};
  return std::to_string(between(1, 180)) + " " + pick(streets) + " " + pick(kinds);
}

std::string SampleValues::phone() {
  static const std::vector<const char*> areas = {"(02)", "(03)", "(07)", "(08)"};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s %04d %04d", pick(areas), between(8000, 9999), between(0, 9999));
  return buf;
}

std::string SampleValues::us_phone(bool parentheses) {
  char buf[32];
  std::snprintf(buf, sizeof buf, parentheses ? "(%03d)%03d-%04d" : "%03d-%03d-%04d", between(201, 989),
                between(200, 999), between(0, 9999));
  return buf;
}

std::string SampleValues::email(const std::string& first, const std::string& last) {
  static const std::vector<const char*> hosts = {"example.com", "mail.example.net", "post.example.org"};
  std::string user = first + "." + last;
  for (char& c : user) c = static_cast<char>(c == ' ' || c == ',' ? '.' : std::tolower(static_cast<unsigned char>(c)));
  return user + "@" + pick(hosts);
}

std::string SampleValues::website(const std::string& last) {
  std::string site = "www." + last + "-trading.example.com";
  for (char& c : site) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return site;
}

int32_t SampleValues::date(int first_year, int last_year) {
  int32_t year = between(first_year, last_year);
  int month = between(1, 12);
  return vrt::core::date_from_ymd(year, month, between(1, vrt::core::month_length(year, month)));
}

int32_t SampleValues::business_time() {
  int32_t seconds = between(8 * 3600, 18 * 3600 - 1);
  return seconds * 100 + 1;  // standard times count hundredths from 1 at midnight
}

}  // namespace marlock
