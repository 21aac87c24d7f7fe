#pragma once
// The help entries of an RTF help project, each "name!topic", kept sorted without duplicates: the
// contents list and the keyword list. The help writers fill them; the RTF writer reads the keyword
// list for the "K" footnote of each topic it writes.
#include <algorithm>
#include <string>
#include <vector>

class THSRtfHelpLists {
public:
    void AddContents(const std::string& Entry) { Insert(FContents, Entry); }
    void AddKeyword(const std::string& Entry) { Insert(FKeywords, Entry); }
    const std::vector<std::string>& Contents() const { return FContents; }
    const std::vector<std::string>& Keywords() const { return FKeywords; }
    // The part after "!" of the keyword entries whose part before it is Topic, joined by ";".
    std::string KeywordsOf(const std::string& Topic) const {
        std::string R;
        for (const std::string& E : FKeywords) {
            const size_t Bang = E.find('!');
            if (Bang != Topic.size() || E.compare(0, Bang, Topic) != 0)
                continue;
            if (!R.empty())
                R += ';';
            R += E.substr(Bang + 1);
        }
        return R;
    }

private:
    static void Insert(std::vector<std::string>& List, const std::string& Entry) {
        auto At = std::lower_bound(List.begin(), List.end(), Entry);
        if (At == List.end() || *At != Entry)
            List.insert(At, Entry);
    }
    std::vector<std::string> FContents;
    std::vector<std::string> FKeywords;
};
