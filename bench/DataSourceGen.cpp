#include "DataSourceGen.h"

#include <cstdio>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

namespace {

const char* const kHeads[] = {"Beef",     "Pork",     "Chicken", "Milk",  "Cheese",   "Bread",    "Apples",
                              "Beans",    "Rice",     "Soup",    "Fish",  "Turkey",   "Cereals",  "Cookies",
                              "Potatoes", "Tomatoes", "Yogurt",  "Pasta", "Oil",      "Candies",  "Snacks",
                              "Juice",    "Nuts",     "Lamb",    "Eggs",  "Babyfood", "Crackers", "Onions"};
const char* const kParts[] = {"ground",
                              "raw",
                              "cooked",
                              "boiled",
                              "roasted",
                              "dried",
                              "canned",
                              "frozen",
                              "whole",
                              "lean only",
                              "with salt",
                              "without salt",
                              "fat free",
                              "enriched",
                              "sweetened",
                              "unprepared",
                              "prepared with water",
                              "chopped",
                              "sliced",
                              "stewed",
                              "fried",
                              "baked"};
// USDA nutrient numbers.
const int kNumbers[] = {208, 203, 204, 205, 221, 255, 262, 263, 269, 291, 301, 303, 304, 305, 306, 307, 309, 312, 317,
                        319, 320, 321, 322, 323, 328, 334, 337, 338, 401, 404, 405, 406, 415, 417, 418, 421, 430, 431,
                        432, 435, 573, 578, 601, 606, 607, 608, 609, 610, 611, 612, 613, 614, 617, 618, 619, 620};

class Out {
public:
    explicit Out(const std::string& path) : f_(std::fopen(path.c_str(), "wb"), &std::fclose) {
        if (!f_) throw std::runtime_error("can't write " + path);
        buf_.reserve(1 << 20);
    }
    ~Out() { Flush(); }
    Out& operator<<(const std::string& s) { return Add(s.data(), s.size()); }
    Out& operator<<(const char* s) { return Add(s, std::char_traits<char>::length(s)); }
    Out& operator<<(int n) { return *this << std::to_string(n); }
    void Flush() {
        if (!buf_.empty() && std::fwrite(buf_.data(), 1, buf_.size(), f_.get()) != buf_.size())
            throw std::runtime_error("write failed");
        buf_.clear();
    }

private:
    Out& Add(const char* s, std::size_t n) {
        buf_.append(s, n);
        if (buf_.size() > (1 << 20) - 4096) Flush();
        return *this;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f_;
    std::string buf_;
};

std::string Value(std::mt19937& rng) {
    char b[32];
    std::snprintf(b, sizeof b, "%.3g", std::uniform_real_distribution<double>(0.0, 900.0)(rng));
    return b;
}

}  // namespace

void WriteBenchDataSource(const std::string& path, int foods) {
    std::mt19937 rng(20240611);
    Out out(path);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DataSource Name=\"Benchmark Foods\" ID=\"1\" version=\"1\">\n";
    out << "  <Nutrients>\n";
    for (int n : kNumbers)
        out << "    <Nutrient Name=\"Nutrient " << n << "\" Units=\"mg\" Accuracy=\"2\" id=\"" << n << "\"/>\n";
    out << "  </Nutrients>\n  <foodPortions>\n";
    for (int p = 1; p <= 300; ++p)
        out << "    <portion id=\"" << p << "\" title=\"1 " << kParts[p % 22] << " portion " << p << "\"/>\n";
    out << "  </foodPortions>\n  <FoodGroups>\n";

    const int groups = 25;
    int key = 1000;
    for (int g = 0; g < groups; ++g) {
        const int inGroup = foods / groups + (g < foods % groups ? 1 : 0);
        // Every fifth group keeps a third of its foods in a subgroup.
        const int nested = g % 5 == 0 ? inGroup / 3 : 0;
        out << "    <FoodGroup id=\"Group " << g << "\" code=\"" << (g + 1) * 100 << "\">\n";
        for (int i = 0; i < inGroup; ++i) {
            const bool sub = i == inGroup - nested;
            if (sub) out << "      <FoodGroup id=\"Group " << g << " more\" code=\"" << (g + 1) * 100 + 1 << "\">\n";
            const char* ind = i >= inGroup - nested ? "        " : "      ";
            std::string name = kHeads[rng() % 28];
            for (int parts = 1 + static_cast<int>(rng() % 3); parts > 0; --parts) {
                name += ", ";
                name += kParts[rng() % 22];
            }
            name += ' ';
            name += std::to_string(key);
            out << ind << "<Food Name=\"" << name << "\" key=\"" << key++ << "\">\n" << ind << "  <Nutrition>\n";
            const int values = 45 + static_cast<int>(rng() % 11);
            for (int v = 0; v < values; ++v)
                out << ind << "    <E N=\"" << kNumbers[v] << "\" V=\"" << Value(rng) << "\"/>\n";
            out << ind << "  </Nutrition>\n" << ind << "  <EnergyFactors P=\"4.27\" F=\"8.79\" C=\"3.87\"/>\n";
            out << ind << "  <Units main=\"1\">\n";
            for (int u = 1 + static_cast<int>(rng() % 3); u > 0; --u)
                out << ind << "    <E M=\"" << static_cast<int>(1 + rng() % 300) << "\" K=\"" << Value(rng) << "\"/>\n";
            out << ind << "  </Units>\n" << ind << "</Food>\n";
        }
        if (nested) out << "      </FoodGroup>\n";
        out << "    </FoodGroup>\n";
    }
    out << "  </FoodGroups>\n</DataSource>\n";
}
