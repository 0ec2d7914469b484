// The peer's side of the whole-process pairs (process_pairs.py): a small
// OpenCV program that does what one orvex-cli command line does. Reads a
// grey picture, runs one operation, writes the result (nothing for the
// statistics, which are printed).
//
//   orvex-peer-process INPUT OPERATION [OUTPUT]
//   OPERATION: negative, filter3 (3 x 3 mean), dilate, rotate90, stats

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s INPUT OPERATION [OUTPUT]\n", argv[0]);
        return 2;
    }
    const cv::Mat in = cv::imread(argv[1], cv::IMREAD_GRAYSCALE);
    if (in.empty()) {
        std::fprintf(stderr, "%s: cannot be read\n", argv[1]);
        return 1;
    }
    const std::string operation = argv[2];
    cv::Mat out;
    if (operation == "negative") {
        cv::bitwise_not(in, out);
    } else if (operation == "filter3") {
        cv::blur(in, out, cv::Size(3, 3));
    } else if (operation == "dilate") {
        cv::dilate(in, out, cv::Mat::ones(3, 3, CV_8U));
    } else if (operation == "rotate90") {
        cv::rotate(in, out, cv::ROTATE_90_CLOCKWISE);
    } else if (operation == "stats") {
        double low = 0, high = 0;
        cv::minMaxLoc(in, &low, &high);
        cv::Scalar mean, deviation;
        cv::meanStdDev(in, mean, deviation);
        std::printf("%g %g %g %g\n", low, high, mean[0], deviation[0]);
        return 0;
    } else {
        std::fprintf(stderr, "%s: no such operation\n", argv[2]);
        return 2;
    }
    if (argc < 4 || !cv::imwrite(argv[3], out)) {
        std::fprintf(stderr, "the result cannot be written\n");
        return 1;
    }
    return 0;
}
