#include "tests/support/OggFixture.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

using namespace tavora::testing;

// The fixtures must be what they claim, or every suite built on them lies.
TEST(OggFixture, ProducesTheRequestedStreams) {
    TempFolder dir;
    struct Case {
        OggSpec spec;
    } cases[] = {{{44100, 2, 1.0}}, {{48000, 1, 0.3}}, {{22050, 6, 0.5}}};
    for (const auto& c : cases) {
        const std::string path = dir / "f.ogg";
        ASSERT_TRUE(WriteOgg(path, c.spec));
        OggVorbis_File vf;
        ASSERT_EQ(ov_fopen(path.c_str(), &vf), 0);
        vorbis_info* vi = ov_info(&vf, -1);
        EXPECT_EQ(vi->rate, long(c.spec.rate));
        EXPECT_EQ(vi->channels, c.spec.channels);
        EXPECT_EQ(uint64_t(ov_pcm_total(&vf, -1)), FramesOf(c.spec));
        ov_clear(&vf);
    }
}

TEST(OggFixture, ChainsLinksWithTheirOwnFormats) {
    TempFolder dir;
    const std::string path = dir / "chain.ogg";
    ASSERT_TRUE(WriteChainedOgg(path, {{44100, 2, 0.5}, {22050, 1, 0.25}}));
    OggVorbis_File vf;
    ASSERT_EQ(ov_fopen(path.c_str(), &vf), 0);
    ASSERT_EQ(ov_streams(&vf), 2);
    EXPECT_EQ(ov_info(&vf, 0)->channels, 2);
    EXPECT_EQ(ov_info(&vf, 1)->channels, 1);
    EXPECT_EQ(ov_info(&vf, 1)->rate, 22050);
    ov_clear(&vf);
}
