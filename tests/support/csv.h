#pragma once
// CSV as the program writes it, split back: fields between commas, none quoted; a line that
// ends in a comma ends in an empty field.
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> csv_fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    if (!line.empty() && line.back() == ',')
        fields.emplace_back();
    return fields;
}

inline std::vector<std::vector<std::string>> csv_rows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::stringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        rows.push_back(csv_fields(line));
    return rows;
}
